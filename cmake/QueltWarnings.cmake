# JUCE's recommended warning set, applied to our own targets only (not to the
# JUCE library, whose sources would drown ours). No -Werror: JUCE's own headers
# trip GCC 12 at higher optimisation levels.
function(quelt_warnings target)
    target_link_libraries(${target} PRIVATE juce::juce_recommended_warning_flags)
endfunction()

# A subsystem library: every .cpp of the calling folder, the repository root as
# include path, warnings on. A folder without sources yet gives an interface
# library so that its dependants still link.
function(quelt_add_subsystem target)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    list(FILTER sources EXCLUDE REGEX "/Main\\.cpp$")

    if(sources)
        add_library(${target} STATIC ${sources})
        target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
        target_link_libraries(${target} PUBLIC ${ARGN})
        quelt_warnings(${target})
    else()
        add_library(${target} INTERFACE)
        target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
        target_link_libraries(${target} INTERFACE ${ARGN})
    endif()
endfunction()
