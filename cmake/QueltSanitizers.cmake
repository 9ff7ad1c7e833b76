# AddressSanitizer + UndefinedBehaviorSanitizer for every target, JUCE included,
# so that table reads past an array's end fail the test run instead of passing silently.
if(QUELT_SANITIZE)
    set(_quelt_san_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_compile_options(${_quelt_san_flags})
    add_link_options(-fsanitize=address,undefined)
endif()
