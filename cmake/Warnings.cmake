# One place for the warning flags every target of ours gets. -Wconversion
# includes -Wsign-conversion with clang; g++ leaves that part out for C++.
add_library(project_warnings INTERFACE)
target_compile_options(project_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion)
if(CANTREL_WERROR)
    target_compile_options(project_warnings INTERFACE -Werror)
endif()

# Our targets: C++17 without extensions, warnings on, includes from the repository root.
function(cantrel_target target)
    target_compile_features(${target} PUBLIC cxx_std_17)
    set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF)
    target_link_libraries(${target} PRIVATE project_warnings)
    get_target_property(kind ${target} TYPE)
    if(kind STREQUAL "STATIC_LIBRARY" OR kind STREQUAL "OBJECT_LIBRARY")
        target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    else()
        target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
    endif()
endfunction()
