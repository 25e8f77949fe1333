# The grid's clipboard texts (included from components/spread/CMakeLists.txt); the platform
# clipboard's side is clipboard/qt/ (library spread_clipboard).
target_sources(spread PRIVATE ${CMAKE_CURRENT_LIST_DIR}/clipboard_text.cpp)
