# The build revision is the same every time for the same sources, wherever they stand, and it is
# the number the program was built with.
#   cmake -DSOURCE_DIR=<src> -DSCRIPT=<BuildRevision.cmake> -DWORK=<scratch> -DBUILT=<header> -P ...
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(COPY "${SOURCE_DIR}/" DESTINATION "${WORK}/elsewhere/src")
foreach(run a b)
    execute_process(COMMAND "${CMAKE_COMMAND}" -DSOURCE_DIR=${SOURCE_DIR}
        -DOUTPUT=${WORK}/${run}.h -P "${SCRIPT}" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "the revision script failed: ${status}")
    endif()
endforeach()
execute_process(COMMAND "${CMAKE_COMMAND}" -DSOURCE_DIR=${WORK}/elsewhere/src
    -DOUTPUT=${WORK}/copy.h -P "${SCRIPT}")
file(READ "${WORK}/a.h" a)
file(READ "${WORK}/b.h" b)
file(READ "${WORK}/copy.h" copy)
file(READ "${BUILT}" built)
if(NOT a STREQUAL b OR NOT a STREQUAL copy)
    message(FATAL_ERROR "the same sources gave different revisions:\n${a}${b}${copy}")
endif()
if(NOT a STREQUAL built)
    message(FATAL_ERROR "the program was built with another revision:\n${built}now:\n${a}")
endif()
if(NOT a MATCHES "#define PELLUMAR_BUILD_REVISION [0-9]+\n")
    message(FATAL_ERROR "no revision number:\n${a}")
endif()
# A changed source gives another number.
file(APPEND "${WORK}/elsewhere/src/app/main.cpp" "// changed\n")
execute_process(COMMAND "${CMAKE_COMMAND}" -DSOURCE_DIR=${WORK}/elsewhere/src
    -DOUTPUT=${WORK}/changed.h -P "${SCRIPT}")
file(READ "${WORK}/changed.h" changed)
if(changed STREQUAL a)
    message(FATAL_ERROR "a changed source kept the revision")
endif()
file(REMOVE_RECURSE "${WORK}")
