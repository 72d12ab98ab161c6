# The headers of a folder of src/ are reached as "<folder>/Name.h" through an
# include root that holds that one folder, so a target sees only its own
# headers and those of the libraries it links: an include of a library above
# it fails to build.
function(kora_include_own_folder target scope)
    get_filename_component(folder "${CMAKE_CURRENT_SOURCE_DIR}" NAME)
    set(root "${CMAKE_BINARY_DIR}/include/${folder}")
    file(MAKE_DIRECTORY "${root}")
    file(CREATE_LINK "${CMAKE_CURRENT_SOURCE_DIR}" "${root}/${folder}" SYMBOLIC)
    target_include_directories(${target} ${scope} "${root}")
endfunction()

# Makes the library of one folder of src/ from the sources given, linking the
# libraries below it.
function(kora_library name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LINKS")
    add_library(${name} STATIC ${arg_SOURCES})
    kora_include_own_folder(${name} PUBLIC)
    target_link_libraries(${name} PUBLIC ${arg_LINKS})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
endfunction()
