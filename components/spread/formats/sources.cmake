# Sources of the grid's file formats: workbook import, text and workbook exports, the grid's own
# file (included from components/spread/CMakeLists.txt).
find_package(PkgConfig REQUIRED)
pkg_check_modules(SPREAD_FILES REQUIRED IMPORTED_TARGET freexl xlsxwriter libgsf-1 libxml-2.0)
# Their headers only: workbook_libraries.cpp loads the libraries on first use (GLib is linked).
pkg_check_modules(SPREAD_GLIB REQUIRED IMPORTED_TARGET glib-2.0)
target_include_directories(spread PRIVATE ${SPREAD_FILES_INCLUDE_DIRS})
target_link_libraries(spread PRIVATE PkgConfig::SPREAD_GLIB)
target_sources(spread PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/text_codec.cpp ${CMAKE_CURRENT_LIST_DIR}/imported_cells.cpp ${CMAKE_CURRENT_LIST_DIR}/imported_values.cpp ${CMAKE_CURRENT_LIST_DIR}/imported_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/workbook_import.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xls_reader.cpp ${CMAKE_CURRENT_LIST_DIR}/xlsx_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/workbook_libraries.cpp)
target_sources(spread PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/atomic_write.cpp ${CMAKE_CURRENT_LIST_DIR}/text_export.cpp ${CMAKE_CURRENT_LIST_DIR}/xlsx_writer.cpp ${CMAKE_CURRENT_LIST_DIR}/grid_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_members.cpp)
