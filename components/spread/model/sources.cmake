# Sources of the sheet model and the member table (included from components/spread/CMakeLists.txt).
target_sources(spread PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/picture.cpp)
