# Writes a C++ source file that holds the bytes of one file as an array, for a program that carries a
# picture inside it.
# Run as: cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DHEADER=<include path> -DNAME=<array name> -P EmbedFile.cmake
# The array is `const std::uint8_t NAME[]` in namespace orlinde, its length `const std::size_t NAMESize`.
cmake_minimum_required(VERSION 3.25)
foreach(variable INPUT OUTPUT HEADER NAME)
  if(NOT ${variable})
    message(FATAL_ERROR "EmbedFile.cmake needs -D${variable}=...")
  endif()
endforeach()
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
# Sixteen bytes a line.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n" bytes "${bytes}")
get_filename_component(input_name ${INPUT} NAME)
file(WRITE ${OUTPUT}.tmp
  "// Generated from ${input_name} at build time; do not edit.\n"
  "#include \"${HEADER}\"\n\n"
  "namespace orlinde {\n\n"
  "extern const std::uint8_t ${NAME}[] = {\n${bytes}\n};\n"
  "extern const std::size_t ${NAME}Size = ${size};\n\n"
  "}  // namespace orlinde\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
