# Sources of the sheet model and the member table (included from components/spread/CMakeLists.txt).
target_sources(spread PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/book.cpp ${CMAKE_CURRENT_LIST_DIR}/book_events.cpp ${CMAKE_CURRENT_LIST_DIR}/calendar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cell_format.cpp ${CMAKE_CURRENT_LIST_DIR}/cell_store.cpp ${CMAKE_CURRENT_LIST_DIR}/format_date.cpp ${CMAKE_CURRENT_LIST_DIR}/format_number.cpp
  ${CMAKE_CURRENT_LIST_DIR}/format_text.cpp ${CMAKE_CURRENT_LIST_DIR}/measure.cpp ${CMAKE_CURRENT_LIST_DIR}/metrics.cpp ${CMAKE_CURRENT_LIST_DIR}/number_chars.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture.cpp ${CMAKE_CURRENT_LIST_DIR}/sheet.cpp)
target_sources(spread PRIVATE ${CMAKE_CURRENT_LIST_DIR}/change_notice.cpp)
target_sources(spread PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../members/events.cpp)
target_sources(spread PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/../members/cell_members.cpp ${CMAKE_CURRENT_LIST_DIR}/../members/conversions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../members/fields.cpp ${CMAKE_CURRENT_LIST_DIR}/../members/invoke.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../members/member_table.cpp ${CMAKE_CURRENT_LIST_DIR}/../members/method_members.cpp ${CMAKE_CURRENT_LIST_DIR}/../members/picture_object.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../members/sheet_members.cpp)
