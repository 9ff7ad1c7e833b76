# JUCE's juce_core with our mend of its UTF-8 reading (juce_core-utf8-mend.patch
# says what and why). The module is copied into the build folder, patched there
# at configure time, and the juce_core target is pointed at the copy; the folder
# that holds the copy comes first on quelt_juce's include path (QueltJuce.cmake),
# so every translation unit, JUCE's modules and ours, reads the same mended
# headers. A JUCE whose text the patch does not fit stops the configure step
# instead of building unmended.

set(_quelt_mend_patch "${CMAKE_CURRENT_LIST_DIR}/juce_core-utf8-mend.patch")
set(QUELT_JUCE_MENDED_MODULES "${CMAKE_BINARY_DIR}/juce-mended/modules")  # holds juce_core alone
set(_quelt_mend_stage "${CMAKE_BINARY_DIR}/juce-mended/stage")

get_target_property(_quelt_juce_modules juce_core INTERFACE_JUCE_MODULE_PATH)
set(_quelt_juce_core "${_quelt_juce_modules}/juce_core")

if(NOT EXISTS "${_quelt_juce_core}/juce_core.h")
    message(FATAL_ERROR "juce_core not found where JUCE's CMake package says it is: ${_quelt_juce_core}")
endif()

find_program(QUELT_PATCH_PROGRAM patch)

if(NOT QUELT_PATCH_PROGRAM)
    message(FATAL_ERROR "The build mends JUCE with the patch program: install it (scripts/install-deps.sh)")
endif()

# The files the patch changes, relative to the module folder.
file(STRINGS "${_quelt_mend_patch}" _quelt_mended_files REGEX "^\\+\\+\\+ b/")
list(TRANSFORM _quelt_mended_files REPLACE "^\\+\\+\\+ b/([^\t]+).*$" "\\1")

# The rest is copied as it is. Copying keeps the files' times and skips files
# already there with the same time, so a second configure rebuilds nothing.
set(_quelt_mend_excludes)
foreach(_file IN LISTS _quelt_mended_files)
    get_filename_component(_name "${_file}" NAME)
    list(APPEND _quelt_mend_excludes PATTERN "${_name}" EXCLUDE)
endforeach()

file(COPY "${_quelt_juce_core}" DESTINATION "${QUELT_JUCE_MENDED_MODULES}" ${_quelt_mend_excludes})

# The files to mend are patched in a folder of their own, with the line ends
# the patch has (JUCE ships them with CRLF), then copied over only when their
# text changed, for the same reason.
file(REMOVE_RECURSE "${_quelt_mend_stage}")

foreach(_file IN LISTS _quelt_mended_files)
    file(READ "${_quelt_juce_core}/${_file}" _text)
    string(REPLACE "\r\n" "\n" _text "${_text}")
    file(WRITE "${_quelt_mend_stage}/${_file}" "${_text}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_quelt_juce_core}/${_file}")
endforeach()

set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_quelt_mend_patch}")

execute_process(
    COMMAND "${QUELT_PATCH_PROGRAM}" -p1 -f -F0 -s -i "${_quelt_mend_patch}"
    WORKING_DIRECTORY "${_quelt_mend_stage}"
    RESULT_VARIABLE _result
    OUTPUT_VARIABLE _output
    ERROR_VARIABLE _output)

if(NOT _result EQUAL 0)
    message(FATAL_ERROR "juce_core in ${_quelt_juce_modules} does not take our UTF-8 mend "
                        "(${_quelt_mend_patch}); a JUCE other than 7.0.5 needs the mend made anew:\n${_output}")
endif()

foreach(_file IN LISTS _quelt_mended_files)
    file(COPY_FILE "${_quelt_mend_stage}/${_file}" "${QUELT_JUCE_MENDED_MODULES}/juce_core/${_file}" ONLY_IF_DIFFERENT)
endforeach()

# The module's sources, headers and folder, as juce_add_module set them, now
# name the copy; the include folder is the copy's alone.
foreach(_property INTERFACE_SOURCES INTERFACE_JUCE_MODULE_SOURCES INTERFACE_JUCE_MODULE_HEADERS)
    get_target_property(_value juce_core ${_property})

    if(_value)
        string(REPLACE "${_quelt_juce_core}/" "${QUELT_JUCE_MENDED_MODULES}/juce_core/" _value "${_value}")
        set_property(TARGET juce_core PROPERTY ${_property} "${_value}")
    endif()
endforeach()

set_property(TARGET juce_core PROPERTY INTERFACE_JUCE_MODULE_PATH "${QUELT_JUCE_MENDED_MODULES}")
set_property(TARGET juce_core PROPERTY INTERFACE_INCLUDE_DIRECTORIES "${QUELT_JUCE_MENDED_MODULES}")

# A translation unit of quelt_juce that refuses to build on JUCE's own header;
# quelt_juce's users get its include path, so they read what it reads.
file(CONFIGURE OUTPUT "${CMAKE_BINARY_DIR}/juce-mended/MendedJuceCore.cpp" CONTENT
[[#include <juce_core/juce_core.h>

#if ! QUELT_JUCE_UTF8_MEND
 #error "juce_core is not the mended copy: see cmake/QueltJucePatch.cmake"
#endif
]])

unset(_quelt_juce_modules)
unset(_quelt_juce_core)
unset(_quelt_mended_files)
unset(_quelt_mend_excludes)
unset(_text)
unset(_value)
unset(_output)
unset(_result)
