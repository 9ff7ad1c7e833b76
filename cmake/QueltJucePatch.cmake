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

get_target_property(QUELT_JUCE_MODULES juce_core INTERFACE_JUCE_MODULE_PATH)   # JUCE's own, unmended
set(_quelt_juce_core "${QUELT_JUCE_MODULES}/juce_core")

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

# Every file of JUCE's module is a configure dependency, and so is every
# folder of it: a package update renames new files into place, which changes
# their folders' times even when the files keep the older times the package
# gives them, and so does a file added or removed. The copy then follows its
# source on the next build, not only when the patch or a mended file changes.
file(GLOB_RECURSE _quelt_source_files LIST_DIRECTORIES true RELATIVE "${_quelt_juce_core}" "${_quelt_juce_core}/*")
set(_quelt_source_folders)

foreach(_file IN LISTS _quelt_source_files)
    if(IS_DIRECTORY "${_quelt_juce_core}/${_file}")
        list(APPEND _quelt_source_folders "${_file}")
    endif()
endforeach()

list(REMOVE_ITEM _quelt_source_files ${_quelt_source_folders})
list(TRANSFORM _quelt_source_files PREPEND "${_quelt_juce_core}/" OUTPUT_VARIABLE _quelt_source_paths)
list(TRANSFORM _quelt_source_folders PREPEND "${_quelt_juce_core}/" OUTPUT_VARIABLE _quelt_source_folder_paths)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    "${_quelt_mend_patch}" "${_quelt_juce_core}" ${_quelt_source_folder_paths} ${_quelt_source_paths})

# A file is written into the copy only when its text differs, so that it gets
# a new time (what ninja rebuilds by; the package's own times can be older
# than the objects) and a configure of an unchanged module rebuilds nothing.
# What the module no longer has leaves the copy.
set(_quelt_copy "${QUELT_JUCE_MENDED_MODULES}/juce_core")
file(GLOB_RECURSE _quelt_copied_files LIST_DIRECTORIES true RELATIVE "${_quelt_copy}" "${_quelt_copy}/*")

foreach(_file IN LISTS _quelt_copied_files)
    if(NOT _file IN_LIST _quelt_source_files AND NOT _file IN_LIST _quelt_source_folders)
        file(REMOVE_RECURSE "${_quelt_copy}/${_file}")
    endif()
endforeach()

foreach(_folder IN LISTS _quelt_source_folders)
    file(MAKE_DIRECTORY "${_quelt_copy}/${_folder}")
endforeach()

foreach(_file IN LISTS _quelt_source_files)
    if(NOT _file IN_LIST _quelt_mended_files)
        file(COPY_FILE "${_quelt_juce_core}/${_file}" "${_quelt_copy}/${_file}" ONLY_IF_DIFFERENT)
    endif()
endforeach()

# The files to mend are patched in a folder of their own, with the line ends
# the patch has (JUCE ships them with CRLF), then copied over only when their
# text changed, for the same reason.
file(REMOVE_RECURSE "${_quelt_mend_stage}")

foreach(_file IN LISTS _quelt_mended_files)
    file(READ "${_quelt_juce_core}/${_file}" _text)
    string(REPLACE "\r\n" "\n" _text "${_text}")
    file(WRITE "${_quelt_mend_stage}/${_file}" "${_text}")
endforeach()

execute_process(
    COMMAND "${QUELT_PATCH_PROGRAM}" -p1 -f -F0 -s -i "${_quelt_mend_patch}"
    WORKING_DIRECTORY "${_quelt_mend_stage}"
    RESULT_VARIABLE _result
    OUTPUT_VARIABLE _output
    ERROR_VARIABLE _output)

if(NOT _result EQUAL 0)
    message(FATAL_ERROR "juce_core in ${QUELT_JUCE_MODULES} does not take our UTF-8 mend "
                        "(${_quelt_mend_patch}); a JUCE other than 7.0.5 needs the mend made anew:\n${_output}")
endif()

foreach(_file IN LISTS _quelt_mended_files)
    file(COPY_FILE "${_quelt_mend_stage}/${_file}" "${_quelt_copy}/${_file}" ONLY_IF_DIFFERENT)
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

unset(_quelt_juce_core)
unset(_quelt_mended_files)
unset(_quelt_source_files)
unset(_quelt_source_folders)
unset(_quelt_source_paths)
unset(_quelt_source_folder_paths)
unset(_quelt_copied_files)
unset(_folder)
unset(_quelt_copy)
unset(_text)
unset(_value)
unset(_output)
unset(_result)
