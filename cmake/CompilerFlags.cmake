# Every floating-point operation must be one rounded IEEE 754 double operation
# in the order the source writes it: no fused multiply-add, no reassociation.
add_compile_options(-ffp-contract=off -fno-fast-math)
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
if(VORTIQUO_WERROR)
  add_compile_options(-Werror)
endif()
if(VORTIQUO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
