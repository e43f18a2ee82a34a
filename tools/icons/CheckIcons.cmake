# Draws the icons afresh into FOLDER and compares each with the one committed
# in the source tree, byte for byte.
#   cmake -DTOOL=<make_icons> -DFOLDER=<scratch> -DSOURCE=<source root> -P CheckIcons.cmake
file(REMOVE_RECURSE ${FOLDER})
execute_process(COMMAND ${TOOL} ${FOLDER} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "make_icons failed (${result})")
endif()
file(GLOB_RECURSE fresh RELATIVE ${FOLDER} ${FOLDER}/*)
list(LENGTH fresh count)
if(count LESS 3)
    message(FATAL_ERROR "make_icons drew only ${fresh}")
endif()
foreach(name IN LISTS fresh)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${FOLDER}/${name} ${SOURCE}/${name} RESULT_VARIABLE differs)
    if(NOT differs EQUAL 0)
        message(FATAL_ERROR "${name} is not what make_icons draws now: run build/linux/tools/icons/make_icons . "
                            "in the source folder and commit the result")
    endif()
endforeach()
message(STATUS "${count} icons are what make_icons draws: ${fresh}")
