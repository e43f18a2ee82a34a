# The programs the build and its tests run, each found here and nowhere else.
# None is required here: the part that runs one asks for it with
# cantrel_require_programs(), so a build without that part needs none of its
# programs.

# Texts: the Windows ZIP's README and manual, the Debian manual page, and the
# tests of both.
find_program(AWK awk)
find_program(GROFF groff)
find_program(GZIP gzip)
find_program(MAN man)
# Debian's own python3, which has python3-gi, whatever other python3 comes
# first on PATH.
find_program(SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)

# Windows programs shown on an X server of their own, and their screenshots.
find_program(XVFB Xvfb)
find_program(XDOTOOL xdotool)
find_program(IMPORT import)
# ImageMagick's own binaries, whatever else answers to "convert" or
# "identify" on the PATH.
find_program(IMAGEMAGICK_CONVERT NAMES convert-im6.q16 convert-im6 convert)
find_program(IMAGEMAGICK_IDENTIFY NAMES identify-im6.q16 identify-im6 identify)

# The desktop parts: the loaders cache and mime database made from this
# build's files, and the programs that use the parts.
find_program(GDK_PIXBUF_QUERY_LOADERS gdk-pixbuf-query-loaders
             PATHS /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/gdk-pixbuf-2.0)
find_program(UPDATE_MIME_DATABASE update-mime-database)
find_program(GIMP_CONSOLE gimp-console-2.10)
find_program(THUMBNAILER gdk-pixbuf-thumbnailer)

# The packages as a user gets them: unpacked, read and checked.
find_program(UNZIP unzip)
# icoutils' resource reader, for the programs' version, manifest and icons,
# and its icon reader, for the sizes the icons hold.
find_program(WRESTOOL wrestool)
find_program(ICOTOOL icotool)
find_program(MINGW_OBJDUMP i686-w64-mingw32-objdump)
find_program(DPKG_DEB dpkg-deb)
find_program(DPKG_PARSECHANGELOG dpkg-parsechangelog)
find_program(LINTIAN lintian)

# cantrel_require_programs(<variables...>): the configure stops, naming every
# one of these programs that was not found.
function(cantrel_require_programs)
    set(missing "")
    foreach(variable IN LISTS ARGN)
        if(NOT ${variable})
            list(APPEND missing ${variable})
        endif()
    endforeach()
    if(missing)
        list(JOIN missing ", " missing)
        message(FATAL_ERROR "Programs not found: ${missing}. tools/setup installs every package the project needs.")
    endif()
endfunction()
