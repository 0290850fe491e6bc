# kxbr_embed_form_resources(<target> <files...>): builds the text form resources into the
# target; each is registered as the RCDATA resource of the class its first line declares
# when the library loads, the way the platform links form resources into a module.
function(kxbr_embed_form_resources target)
  set(body "")
  foreach(file ${ARGN})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
    file(READ ${file} text)
    string(REGEX MATCH "^[ \t\r\n]*(object|inherited|inline)[ \t]+[A-Za-z0-9_]*[ \t]*:[ \t]*([A-Za-z0-9_]+)"
           header "${text}")
    if(NOT header)
      message(FATAL_ERROR "${file}: the first line must declare the form's class")
    endif()
    string(APPEND body "  RegisterResource(RT_RCDATA, \"${CMAKE_MATCH_2}\", R\"kxbr_res(${text})kxbr_res\");\n")
  endforeach()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_FormResources.cpp)
  # Written through a copy so that an unchanged text does not rebuild the target.
  file(WRITE ${out}.new "// Generated from the form resources in resources/forms; edit those files instead.
#include \"Classes.h\"

namespace {
const bool registered = [] {
${body}  return true;
}();
}  // namespace
")
  configure_file(${out}.new ${out} COPYONLY)
  target_sources(${target} PRIVATE ${out})
endfunction()
