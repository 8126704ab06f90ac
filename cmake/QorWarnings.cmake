# One interface target carries the warning set of our own code; third-party code never links it.
add_library(qor_warnings INTERFACE)
target_compile_options(qor_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Werror
    -Wshadow -Wnon-virtual-dtor -Wcast-align -Woverloaded-virtual
    -Wformat=2 -Wimplicit-fallthrough
    # GCC 12 reports false overlaps inside std::string at -O2/-O3 (GCC bug 105651).
    $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)

# Sanitizer build: cmake -DQOR_SANITIZE=ON
option(QOR_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(QOR_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# Every room's tests are registered the same way: <room>_tests, labelled gui or core.
function(qor_add_tests name)
    cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE qor_warnings GTest::gtest GTest::gtest_main ${T_LIBS})
    # Tests find checked-in examples and fixtures through the source folder.
    target_compile_definitions(${name} PRIVATE QOR_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        QOR_BINARY_DIR="${PROJECT_BINARY_DIR}")
    if(T_GUI)
        set(label gui)
    else()
        set(label core)
    endif()
    gtest_discover_tests(${name} PROPERTIES LABELS ${label}
        ENVIRONMENT QT_QPA_PLATFORM=offscreen
        DISCOVERY_TIMEOUT 60)
endfunction()

# Only the named symbols leave a shared library: the export macro marks our calls, and this
# version script also keeps the standard library's template instances inside.
#   qor_limit_exports(<target> C <glob>... [CXX <glob>...])
function(qor_limit_exports target)
    cmake_parse_arguments(E "" "" "C;CXX" ${ARGN})
    set(script "/* Generated: the exports of ${target}. */\n{\n  global:\n")
    foreach(glob ${E_C})
        string(APPEND script "    ${glob};\n")
    endforeach()
    if(E_CXX)
        string(APPEND script "    extern \"C++\" {\n")
        foreach(glob ${E_CXX})
            string(APPEND script "      ${glob};\n")
        endforeach()
        string(APPEND script "    };\n")
    endif()
    string(APPEND script "  local:\n    *;\n};\n")
    set(map ${CMAKE_CURRENT_BINARY_DIR}/${target}.map)
    file(WRITE ${map} "${script}")
    target_link_options(${target} PRIVATE "LINKER:--version-script=${map}")
    set_target_properties(${target} PROPERTIES LINK_DEPENDS ${map})
endfunction()
