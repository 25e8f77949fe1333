# Script mode (cmake -DINPUT= -DOUTPUT= -DTYPE= -DNAME= -P): writes a C++ source that holds INPUT's
# bytes and registers them as the resource TYPE/NAME of the program's module.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
if(digits EQUAL 0)
  message(FATAL_ERROR "${INPUT} is empty; a resource needs at least one byte")
endif()
string(REGEX REPLACE "([0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f])" "\\1\n" hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE "${OUTPUT}.tmp" "// Generated from ${INPUT} by cmake/EmbedFile.cmake; do not edit.
#include \"platform/system/resource.h\"

namespace {
const unsigned char kBytes[] = {
${bytes}};
const platform::ResourceRegistrar kRegistrar(\"${TYPE}\", \"${NAME}\", kBytes);
}  // namespace
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
