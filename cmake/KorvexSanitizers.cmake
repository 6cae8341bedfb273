# KORVEX_SANITIZE=address builds everything with AddressSanitizer and UndefinedBehaviorSanitizer,
# KORVEX_SANITIZE=thread with ThreadSanitizer.
if(KORVEX_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(KORVEX_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT KORVEX_SANITIZE STREQUAL "")
  message(FATAL_ERROR "KORVEX_SANITIZE must be address, thread or empty")
endif()
