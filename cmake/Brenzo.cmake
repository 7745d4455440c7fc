# Shared build settings and the helpers every module uses.

add_library(brenzo_settings INTERFACE)
target_compile_options(brenzo_settings INTERFACE
    -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Woverloaded-virtual -Wimplicit-fallthrough)

# GCC 12 misreads its own std::string concatenation at -O2 and up as overlapping copies (GCC bug 105651).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12 AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(brenzo_settings INTERFACE -Wno-restrict)
endif()

# libstdc++ releases a shared_ptr by first loading both of its counts as one 8-byte word, which cannot
# be forwarded from the 4-byte decrement of a release just before it on the same counts. Decoded
# documents release many references in a row to one count (numbers and small arrays are made many
# to a block), and that stall was some 40 % of destroying a number-heavy one. This macro selects the
# library's plain decrement, the path it takes under ThreadSanitizer; in GCC 12's library the macro
# changes nothing else. Releasing is inline, so it is set for every translation unit.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" OR CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    add_compile_definitions($<$<COMPILE_LANGUAGE:CXX>:_GLIBCXX_TSAN=1>)
endif()

if(BRENZO_FUZZERS)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "The fuzzers need clang: configure with CC=clang CXX=clang++")
    endif()
    # Everything is instrumented for coverage; only the fuzzers link libFuzzer's main.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

if(BRENZO_SANITIZE)
    set(BRENZO_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_compile_options(${BRENZO_SANITIZER_FLAGS})
    add_link_options(${BRENZO_SANITIZER_FLAGS})
endif()

if(BRENZO_TSAN)
    if(BRENZO_SANITIZE OR BRENZO_FUZZERS)
        message(FATAL_ERROR "ThreadSanitizer cannot be combined with AddressSanitizer: build it in its own directory")
    endif()
    # -O1 keeps the instrumented suite within its time; -O0 runs several times slower.
    set(BRENZO_TSAN_FLAGS -fsanitize=thread -fno-omit-frame-pointer)
    add_compile_options(-O1)
    add_compile_options(${BRENZO_TSAN_FLAGS})
    add_link_options(${BRENZO_TSAN_FLAGS})
endif()

# A Release build without the test suites (what scripts/run and scripts/bench make) takes its
# libraries from their static archives where Debian ships them: the application then starts without
# the loader mapping and relocating some thirty shared libraries. The test suites stay dynamic,
# because their servers link OpenSSL as a shared library, which must not meet a static copy.
# -DBRENZO_STATIC_DEPENDENCIES=ON|OFF overrides the choice.
if(NOT DEFINED BRENZO_STATIC_DEPENDENCIES)
    if(CMAKE_BUILD_TYPE STREQUAL "Release" AND NOT BRENZO_TESTS)
        set(BRENZO_STATIC_DEPENDENCIES ON)
    else()
        set(BRENZO_STATIC_DEPENDENCIES OFF)
    endif()
endif()
if(BRENZO_STATIC_DEPENDENCIES)
    if(BRENZO_TESTS)
        message(FATAL_ERROR "BRENZO_STATIC_DEPENDENCIES is for the application and the benchmarks: configure with -DBRENZO_TESTS=OFF")
    endif()
    set(OPENSSL_USE_STATIC_LIBS TRUE)
    add_link_options(-static-libstdc++ -static-libgcc)
endif()

# brenzo_link_static_archives(TARGET NAME...)
# With BRENZO_STATIC_DEPENDENCIES, the imported TARGET links the archives lib<NAME>.a instead of its
# shared libraries. It stays as it is when one of them is missing.
function(brenzo_link_static_archives target)
    if(NOT BRENZO_STATIC_DEPENDENCIES)
        return()
    endif()
    set(archives)
    foreach(name IN LISTS ARGN)
        find_library(archive NAMES lib${name}.a NO_CACHE)
        if(NOT archive)
            message(STATUS "${target}: no static archive of ${name}, so it is linked as a shared library")
            return()
        endif()
        list(APPEND archives ${archive})
        unset(archive)
    endforeach()
    string(JOIN "," group ${archives})
    set_property(TARGET ${target} PROPERTY INTERFACE_LINK_LIBRARIES "$<LINK_GROUP:RESCAN,${group}>" Threads::Threads ${CMAKE_DL_LIBS} m)
endfunction()

# brenzo_add_library(NAME DIRECTORY dir [PUBLIC_DEPS ...] [PRIVATE_DEPS ...])
# Builds a static library from every .cpp file directly in DIRECTORY (and its listed SUBDIRECTORIES).
# Headers are included from src/, e.g. #include "platform/foundation/String.h".
function(brenzo_add_library name)
    cmake_parse_arguments(ARG "" "" "SUBDIRECTORIES;PUBLIC_DEPS;PRIVATE_DEPS;SOURCES" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    foreach(subdirectory IN LISTS ARG_SUBDIRECTORIES)
        file(GLOB more CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${subdirectory}/*.cpp)
        list(APPEND sources ${more})
    endforeach()
    if(NOT sources AND NOT ARG_SOURCES)
        message(STATUS "${name}: no sources yet, skipped")
        return()
    endif()
    add_library(${name} STATIC ${sources} ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE brenzo_settings ${ARG_PRIVATE_DEPS})
endfunction()

# The given sources, or every .cpp file in the calling directory.
function(brenzo_program_sources out given)
    if(given)
        set(${out} ${given} PARENT_SCOPE)
    else()
        file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
        set(${out} ${found} PARENT_SCOPE)
    endif()
endfunction()

# brenzo_add_test(NAME [SOURCES ...] [DEPS ...])
# One GoogleTest executable per library, built from every .cpp file in the calling directory
# unless SOURCES is given, registered with CTest test by test.
function(brenzo_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    brenzo_program_sources(sources "${ARG_SOURCES}")
    if(NOT sources)
        message(STATUS "${name}: no sources yet, skipped")
        return()
    endif()
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE brenzo_settings brenzo_test_support ${ARG_DEPS} GTest::gmock GTest::gtest GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE
        BRENZO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        BRENZO_BINARY_DIR="${PROJECT_BINARY_DIR}"
        BRENZO_SHARED_DATA_DIR="${BRENZO_SHARED_DATA_DIR}")
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 120
        PROPERTIES ENVIRONMENT "BRENZO_RESOURCES=${PROJECT_SOURCE_DIR}/resources")
endfunction()

# Where the benchmarks and tests find the shared documents; a worktree placed elsewhere points it at them.
set(BRENZO_SHARED_DATA_DIR "${PROJECT_SOURCE_DIR}/../shared/data" CACHE PATH "Folder of the shared benchmark documents")

# brenzo_add_benchmark(NAME [SOURCES ...] [DEPS ...])
# A Google Benchmark program, built from every .cpp file in the calling directory unless SOURCES is
# given, written to <build>/bench/NAME so that scripts/bench finds it.
function(brenzo_add_benchmark name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    brenzo_program_sources(sources "${ARG_SOURCES}")
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE brenzo_settings ${ARG_DEPS} benchmark::benchmark)
    target_compile_definitions(${name} PRIVATE
        BRENZO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        BRENZO_SHARED_DATA_DIR="${BRENZO_SHARED_DATA_DIR}")
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endfunction()
