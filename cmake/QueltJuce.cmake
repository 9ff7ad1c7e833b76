# Every JUCE module we use is compiled exactly once, into quelt_juce. JUCE's module
# targets are INTERFACE libraries that carry their .cpp files, so they are linked
# PRIVATE here (compiled into this library only) and the include directories and
# compile definitions they bring are re-exported to whoever links quelt_juce.
#
# juce_core comes from our mended copy of it (QueltJucePatch.cmake): its folder
# goes first on the include path, ahead of the installed modules, and a source
# of quelt_juce's own checks that the mended headers are the ones read.
include(QueltJucePatch)

add_library(quelt_juce STATIC "${CMAKE_BINARY_DIR}/juce-mended/MendedJuceCore.cpp")
target_include_directories(quelt_juce BEFORE PRIVATE "${QUELT_JUCE_MENDED_MODULES}")

# JUCE's text loops are small and hot. Each starts on a 64-byte line here, so
# it runs from one line of the CPU's instruction cache; left where it falls,
# a loop across two lines ran a fifth slower (String::substring on ASCII,
# bench/text-work.sh), and which loops fall so changes with any edit of JUCE.
include(CheckCXXCompilerFlag)
check_cxx_compiler_flag(-falign-loops=64 QUELT_CAN_ALIGN_LOOPS)
set(QUELT_JUCE_COMPILE_OPTIONS $<$<BOOL:${QUELT_CAN_ALIGN_LOOPS}>:-falign-loops=64>)
target_compile_options(quelt_juce PRIVATE ${QUELT_JUCE_COMPILE_OPTIONS})

target_link_libraries(quelt_juce
    PRIVATE
        juce::juce_core
        juce::juce_data_structures
        juce::juce_events
        juce::juce_graphics
        juce::juce_gui_basics
        juce::juce_audio_basics
        juce::juce_audio_devices
    PUBLIC
        juce::pkgconfig_JUCE_CURL_LINUX_DEPS
        juce::pkgconfig_JUCE_IMG_LINUX_DEPS)

target_compile_definitions(quelt_juce
    PUBLIC
        JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1
        JUCE_STANDALONE_APPLICATION=1
        JUCE_MODAL_LOOPS_PERMITTED=1
        JUCE_USE_CURL=1
        JUCE_LOAD_CURL_SYMBOLS_LAZILY=0
        JUCE_WEB_BROWSER=0
        JUCE_DISPLAY_SPLASH_SCREEN=0
        JUCE_REPORT_APP_USAGE=0
        JUCE_USE_DARK_SPLASH_SCREEN=0
        JUCE_STRICT_REFCOUNTEDPOINTER=1
        JUCE_SILENCE_XCODE_15_LINKER_WARNING=1)

target_include_directories(quelt_juce INTERFACE
    $<TARGET_PROPERTY:quelt_juce,INCLUDE_DIRECTORIES>)
target_compile_definitions(quelt_juce INTERFACE
    $<TARGET_PROPERTY:quelt_juce,COMPILE_DEFINITIONS>)

if(UNIX AND NOT APPLE)
    find_package(ALSA REQUIRED)
    target_link_libraries(quelt_juce PUBLIC ALSA::ALSA)
endif()
