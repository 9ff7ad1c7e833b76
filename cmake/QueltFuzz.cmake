# QUELT_FUZZ: builds the libFuzzer target of tests/fuzz. libFuzzer comes with
# clang only; every target, JUCE included, is compiled with its coverage
# instrumentation so that the fuzzer sees its way through JUCE's parser too.
if(QUELT_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "QUELT_FUZZ needs clang (e.g. -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_C_COMPILER=clang-14)")
    endif()

    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
