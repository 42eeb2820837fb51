# Writes the header with the build revision, the number the About window shows after "Build".
# It is made from the program's sources alone (their paths under src/ and their contents), so the
# same sources give the same number wherever and however often they are built, with neither git
# nor network. The header is rewritten only when the number changes.
#
#   cmake -DSOURCE_DIR=<the src folder> -DOUTPUT=<header> -P BuildRevision.cmake
file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.cpp" "${SOURCE_DIR}/*.h"
    "${SOURCE_DIR}/*CMakeLists.txt")
list(SORT files)
set(listing "")
foreach(file IN LISTS files)
    file(SHA256 "${SOURCE_DIR}/${file}" digest)
    string(APPEND listing "${file} ${digest}\n")
endforeach()
string(SHA256 digest "${listing}")
string(SUBSTRING "${digest}" 0 5 head)
math(EXPR revision "0x${head}" OUTPUT_FORMAT DECIMAL)

set(content "// Made by cmake/BuildRevision.cmake from the sources; do not edit.\n#pragma once\n#define PELLUMAR_BUILD_REVISION ${revision}\n")
set(old "")
if(EXISTS "${OUTPUT}")
    file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL content)
    file(WRITE "${OUTPUT}" "${content}")
endif()
