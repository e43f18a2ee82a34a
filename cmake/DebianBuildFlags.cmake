# An optimised native build is what the Debian packages ship, so every target
# of it (the converter, the GIMP plug-in, the loader module and the libraries
# they share) compiles and links with the flags Debian builds its own packages
# with: dpkg-buildflags with all its hardening (stack protector, fortified C
# library calls, read-only relocations bound at start-up). The loader parses
# untrusted files by itself, for thumbnails, and so needs them most.
#
# The build type keeps its optimisation, and the packages are stripped, so
# dpkg-buildflags' own -O2 and -g are left out. Where there is no
# dpkg-buildflags (off Debian) the build goes on without them.
# CANTREL_DEBIAN_BUILD_FLAGS=OFF leaves them out on purpose.
include_guard(GLOBAL)

option(CANTREL_DEBIAN_BUILD_FLAGS "Compile an optimised native build with Debian's hardening flags" ON)
if(CMAKE_CROSSCOMPILING OR WIN32 OR NOT CMAKE_BUILD_TYPE STREQUAL "Release" OR NOT CANTREL_DEBIAN_BUILD_FLAGS)
    return()
endif()
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT DPKG_BUILDFLAGS)
    message(STATUS "No dpkg-buildflags here: the optimised build goes without Debian's hardening flags")
    return()
endif()

# cantrel_debian_flags(<variable> <flag kind>): what dpkg-buildflags gives
# for CPPFLAGS, CXXFLAGS, CFLAGS or LDFLAGS, as a list. Run in the source
# folder, whose path its -ffile-prefix-map then keeps out of the binaries.
function(cantrel_debian_flags variable kind)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all "DEB_${kind}_MAINT_STRIP=-O2 -g"
                ${DPKG_BUILDFLAGS} --get ${kind}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status ERROR_VARIABLE errors)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "dpkg-buildflags --get ${kind} failed: ${errors}")
    endif()
    separate_arguments(flags UNIX_COMMAND "${flags}")
    set(${variable} ${flags} PARENT_SCOPE)
endfunction()

cantrel_debian_flags(preprocessor_flags CPPFLAGS)
cantrel_debian_flags(cxx_flags CXXFLAGS)
cantrel_debian_flags(c_flags CFLAGS)
cantrel_debian_flags(linker_flags LDFLAGS)
add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:${preprocessor_flags};${cxx_flags}>"
                    "$<$<COMPILE_LANGUAGE:C>:${preprocessor_flags};${c_flags}>")
add_link_options(${linker_flags})
list(JOIN preprocessor_flags " " shown_preprocessor)
list(JOIN cxx_flags " " shown_cxx)
list(JOIN linker_flags " " shown_linker)
message(STATUS "Debian's build flags: ${shown_preprocessor} ${shown_cxx}; linking: ${shown_linker}")
