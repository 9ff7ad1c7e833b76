# QUELT_SANITIZE=ON: AddressSanitizer + UndefinedBehaviorSanitizer for every
# target, JUCE included, so that table reads past an array's end fail the test
# run instead of passing silently.
# QUELT_SANITIZE=thread: ThreadSanitizer instead (it cannot be combined with
# AddressSanitizer), for the code that hands data between threads; use a build
# folder of its own.
if(QUELT_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(QUELT_SANITIZE)
    set(_quelt_san_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_compile_options(${_quelt_san_flags})
    add_link_options(-fsanitize=address,undefined)
endif()
