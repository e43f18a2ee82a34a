# In a cross build, the native converter of the same sources, built beside it
# for the tests that hold Cantrel.exe under Wine to what the native program
# prints and writes. CANTREL_NATIVE_CONVERTER names the program.
include_guard(GLOBAL)
include(ExternalProject)

set(CANTREL_NATIVE_CONVERTER ${CMAKE_BINARY_DIR}/native-converter/converter/cantrel)
ExternalProject_Add(native_converter
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/native-converter
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++
               -DCANTREL_TESTS=OFF -DCANTREL_PACKAGE_TESTS=OFF
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target converter
    INSTALL_COMMAND ""
    # Rebuilt with every build, so that it follows the sources.
    BUILD_ALWAYS ON)
