# Sources of the grid's printing that need no Qt: page layout, the sheet laid out on pages, the
# PDF writer and the print members (included from components/spread/CMakeLists.txt). The Qt
# printer's canvas is print/qt/ (library spread_print).
target_sources(spread PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/pdf_writer.cpp ${CMAKE_CURRENT_LIST_DIR}/print_layout.cpp ${CMAKE_CURRENT_LIST_DIR}/print_sheet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/print_members.cpp)
