# Sources of the sheet model (included from components/spread/CMakeLists.txt).
target_sources(spread PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/book.cpp ${CMAKE_CURRENT_LIST_DIR}/user_ops.cpp ${CMAKE_CURRENT_LIST_DIR}/calendar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cell_format.cpp ${CMAKE_CURRENT_LIST_DIR}/cell_store.cpp ${CMAKE_CURRENT_LIST_DIR}/format_date.cpp ${CMAKE_CURRENT_LIST_DIR}/format_number.cpp
  ${CMAKE_CURRENT_LIST_DIR}/format_text.cpp ${CMAKE_CURRENT_LIST_DIR}/measure.cpp ${CMAKE_CURRENT_LIST_DIR}/metrics.cpp ${CMAKE_CURRENT_LIST_DIR}/number_chars.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture.cpp ${CMAKE_CURRENT_LIST_DIR}/sheet.cpp)
target_sources(spread PRIVATE ${CMAKE_CURRENT_LIST_DIR}/change_notice.cpp)
