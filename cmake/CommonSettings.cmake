# Settings every target of the project links through vdx_common.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)

add_library(vdx_common INTERFACE)
target_compile_features(vdx_common INTERFACE cxx_std_20)
target_compile_options(vdx_common INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
    -Wno-missing-field-initializers)
# GCC 12 at -O3 reports std::string concatenations ("a" + s) as overlapping
# copies of 2^63 bytes (its bug 105651): a false alarm that would stop the
# release build wherever warnings are errors.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(vdx_common INTERFACE -Wno-restrict)
endif()
if(VDX_WERROR OR DEFINED ENV{CI})
    target_compile_options(vdx_common INTERFACE -Werror)
endif()
# Every conversion between bytes and Qt text must name its encoding: the core
# keeps code page 1252 bytes, Qt holds Unicode.
target_compile_definitions(vdx_common INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_STRICT_ITERATORS
    QT_USE_QSTRINGBUILDER)

# The source folders from the ground up: a folder may include only itself and
# the folders before it (scripts/check-house.sh reads this list too).
set(VDX_STRATI shared dialog jet report preview printing request app)

# vdx_include_strato(target visibility folder): puts on the target's include
# path a folder of the build that holds, as links, only the source folders
# `folder` may include, so that an include against the order does not compile.
function(vdx_include_strato target visibility folder)
    set(dir "${PROJECT_BINARY_DIR}/strati/${folder}")
    file(MAKE_DIRECTORY "${dir}")
    foreach(strato IN LISTS VDX_STRATI)
        if(NOT IS_SYMLINK "${dir}/${strato}")
            file(CREATE_LINK "${PROJECT_SOURCE_DIR}/src/${strato}" "${dir}/${strato}" SYMBOLIC)
        endif()
        if(strato STREQUAL folder)
            break()
        endif()
    endforeach()
    target_include_directories(${target} ${visibility} "${dir}")
endfunction()

# vdx_add_core_library(name folder): a static library from the C++ files of a
# source folder, leaving out its ui/ subfolder (the windows).
function(vdx_add_core_library name folder)
    file(GLOB sources CONFIGURE_DEPENDS "${folder}/*.cpp")
    if(sources)
        add_library(${name} STATIC ${sources})
        vdx_include_strato(${name} PUBLIC ${folder})
        target_link_libraries(${name} PUBLIC vdx_common)
    else()
        add_library(${name} INTERFACE)
        vdx_include_strato(${name} INTERFACE ${folder})
        target_link_libraries(${name} INTERFACE vdx_common)
    endif()
endfunction()

# vdx_add_ui_library(name folder): the windows of a source folder (its ui/
# subfolder), with moc.
function(vdx_add_ui_library name folder)
    file(GLOB sources CONFIGURE_DEPENDS "${folder}/ui/*.cpp" "${folder}/ui/*.h" "${folder}/ui/*.qrc")
    if(sources)
        add_library(${name} STATIC ${sources})
        set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
        vdx_include_strato(${name} PUBLIC ${folder})
        target_link_libraries(${name} PUBLIC vdx_common Qt6::Widgets Qt6::PrintSupport)
    else()
        add_library(${name} INTERFACE)
        target_link_libraries(${name} INTERFACE vdx_common Qt6::Widgets Qt6::PrintSupport)
    endif()
endfunction()

# vdx_link(target visibility... libs): link whether target is STATIC or INTERFACE.
function(vdx_link target)
    get_target_property(kind ${target} TYPE)
    if(kind STREQUAL "INTERFACE_LIBRARY")
        target_link_libraries(${target} INTERFACE ${ARGN})
    else()
        target_link_libraries(${target} PUBLIC ${ARGN})
    endif()
endfunction()

# `cmake --build <dir> --target format` rewrites the sources with .clang-format.
find_program(CLANG_FORMAT_EXE NAMES clang-format clang-format-14)
if(CLANG_FORMAT_EXE)
    file(GLOB_RECURSE VDX_FORMAT_SOURCES CONFIGURE_DEPENDS
         "${PROJECT_SOURCE_DIR}/src/*.cpp" "${PROJECT_SOURCE_DIR}/src/*.h"
         "${PROJECT_SOURCE_DIR}/tools/*.cpp" "${PROJECT_SOURCE_DIR}/tools/*.h"
         "${PROJECT_SOURCE_DIR}/tests/*.cpp" "${PROJECT_SOURCE_DIR}/tests/*.h"
         "${PROJECT_SOURCE_DIR}/bench/*.cpp" "${PROJECT_SOURCE_DIR}/fuzz/*.cpp")
    add_custom_target(format COMMAND "${CLANG_FORMAT_EXE}" -i ${VDX_FORMAT_SOURCES}
                      COMMENT "Formatting the sources" VERBATIM)
endif()
