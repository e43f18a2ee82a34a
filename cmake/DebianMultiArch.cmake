# Run by CPack after it made the Debian packages (CPACK_POST_BUILD_SCRIPTS):
# gives the packages that CPACK_CANTREL_MULTIARCH_SAME names the control field
# "Multi-Arch: same", which this CPack cannot write itself. Each is unpacked
# with its control files, given the field after Architecture, and packed
# again with root as the owner of every file, as CPack packs them.
cmake_policy(VERSION 3.25)
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
    get_filename_component(name ${deb} NAME)
    string(REGEX REPLACE "_.*" "" package ${name})
    if(NOT package IN_LIST CPACK_CANTREL_MULTIARCH_SAME)
        continue()
    endif()
    get_filename_component(folder ${deb} DIRECTORY)
    set(work ${folder}/multiarch-${package})
    file(REMOVE_RECURSE ${work})
    execute_process(COMMAND dpkg-deb --raw-extract ${deb} ${work} RESULT_VARIABLE status ERROR_VARIABLE errors)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "dpkg-deb cannot unpack ${deb}: ${errors}")
    endif()
    file(READ ${work}/DEBIAN/control control)
    # A line end before the first field, so that every field starts after one.
    set(control "\n${control}")
    if(NOT control MATCHES "\nMulti-Arch:")
        string(REGEX REPLACE "(\nArchitecture: [^\n]*\n)" "\\1Multi-Arch: same\n" control "${control}")
        string(SUBSTRING "${control}" 1 -1 control)
        file(WRITE ${work}/DEBIAN/control "${control}")
    endif()
    execute_process(COMMAND dpkg-deb --root-owner-group --build ${work} ${deb}
                    RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "dpkg-deb cannot pack ${deb} again: ${errors}")
    endif()
    file(REMOVE_RECURSE ${work})
endforeach()
