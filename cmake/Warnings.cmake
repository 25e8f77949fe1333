# Project-wide warning flags; every library target links kestrel_warnings.
add_library(kestrel_warnings INTERFACE)
target_compile_options(kestrel_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
  -Woverloaded-virtual -Wimplicit-fallthrough)
if(KESTREL_WERROR)
  target_compile_options(kestrel_warnings INTERFACE -Werror)
endif()

# kestrel_library(NAME SOURCES...): a library target of one folder, its folder's parent on the
# include path so headers are included as "platform/window/window.h".
function(kestrel_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE kestrel_warnings)
endfunction()
