# Writes a C++ header holding a file's bytes: cmake -DINPUT=... -DOUTPUT=...
# -DNAME=... -P embed.cmake
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n  " bytes "${bytes}")
file(WRITE ${OUTPUT}.tmp "// Generated from ${INPUT}; do not edit.\n#pragma once\n#include <cstddef>\n\ninline constexpr unsigned char ${NAME}[] = {\n  ${bytes}0};\ninline constexpr size_t ${NAME}Size = ${size};\n")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
