# Sources of the member table (included from components/spread/CMakeLists.txt).
target_sources(spread PRIVATE ${CMAKE_CURRENT_LIST_DIR}/events.cpp)
target_sources(spread PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/addressed_book.cpp ${CMAKE_CURRENT_LIST_DIR}/cell_members.cpp ${CMAKE_CURRENT_LIST_DIR}/conversions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fields.cpp ${CMAKE_CURRENT_LIST_DIR}/invoke.cpp
  ${CMAKE_CURRENT_LIST_DIR}/member_table.cpp ${CMAKE_CURRENT_LIST_DIR}/method_members.cpp ${CMAKE_CURRENT_LIST_DIR}/picture_object.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sheet_members.cpp)
