# Writes a C++ source holding a file's bytes (cmake -P), for a module that has no file system:
# -DINPUT=file -DOUTPUT=file.cpp -DNAME=wrigglet::web::WordsFont (NAME and NAMESize defined).
file(READ ${INPUT} hex HEX)
get_filename_component(input_name ${INPUT} NAME)
file(SIZE ${INPUT} size)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n    " bytes "${bytes}")
string(REGEX MATCH "^(.*)::([^:]+)$" _ ${NAME})
file(WRITE ${OUTPUT}
  "// Made by the build from ${input_name}: its ${size} bytes.\n#include <cstddef>\n\nnamespace ${CMAKE_MATCH_1} {\n\n"
  "extern const unsigned char ${CMAKE_MATCH_2}[];\nextern const size_t ${CMAKE_MATCH_2}Size;\n"
  "const unsigned char ${CMAKE_MATCH_2}[] = {\n    ${bytes}\n};\nconst size_t ${CMAKE_MATCH_2}Size = ${size};\n\n}\n")
