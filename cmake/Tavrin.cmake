# Shared build rules.

if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # Narrow literals are GBK in the binary, as the program's text is.
  add_compile_options(-finput-charset=UTF-8 -fexec-charset=GBK)
endif()
add_compile_options(-Wall -Wextra)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  # g++ 12 reports impossible overlaps inside libstdc++'s string copies at -O2
  # (a known false positive of that release).
  add_compile_options(-Wno-restrict)
endif()

set(TAVRIN_SANITIZE "" CACHE STRING "Sanitizers: address,undefined | thread | empty")
if(TAVRIN_SANITIZE)
  add_compile_options(-fsanitize=${TAVRIN_SANITIZE} -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${TAVRIN_SANITIZE})
  if(TAVRIN_SANITIZE MATCHES "undefined")
    add_compile_options(-fno-sanitize-recover=undefined)
  endif()
endif()

# tavrin_library(NAME name DIRS dir... [DEPS target...])
# A static library of every .cpp below the given folders (relative to the
# calling CMakeLists); headers are included as "folder/file.h" from the root.
function(tavrin_library)
  cmake_parse_arguments(ARG "" "NAME" "DIRS;DEPS" ${ARGN})
  set(sources)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS
         ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.c)
    list(APPEND sources ${found})
  endforeach()
  if(sources)
    tavrin_compiled_sources(sources ${sources})
    add_library(${ARG_NAME} STATIC ${sources})
    tavrin_source_root(root)
    target_include_directories(${ARG_NAME} PUBLIC ${root})
    target_link_libraries(${ARG_NAME} PUBLIC ${ARG_DEPS})
    if(TAVRIN_FUZZ)
      add_dependencies(${ARG_NAME} tavrin_escaped)
    endif()
  else()
    add_library(${ARG_NAME} INTERFACE)
    tavrin_source_root(root)
    target_include_directories(${ARG_NAME} INTERFACE ${root})
    target_link_libraries(${ARG_NAME} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# The fuzz build compiles with clang, which has no GBK execution charset: it
# compiles copies of the sources (headers too) in which tools/literals has
# written every non-ASCII literal as GBK escapes, so its literal bytes are
# the dev build's. Every other build compiles the sources themselves.
set(TAVRIN_ESCAPED_DIR ${CMAKE_BINARY_DIR}/escaped)

# tavrin_escape_tree(folder...): the custom target tavrin_escaped makes the
# copies of every source below the given top folders.
function(tavrin_escape_tree)
  set(copies)
  foreach(folder IN LISTS ARGN)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS
         ${CMAKE_SOURCE_DIR}/${folder}/*.cpp ${CMAKE_SOURCE_DIR}/${folder}/*.c ${CMAKE_SOURCE_DIR}/${folder}/*.h)
    foreach(src IN LISTS found)
      file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${src})
      set(copy ${TAVRIN_ESCAPED_DIR}/${rel})
      add_custom_command(OUTPUT ${copy}
        COMMAND escape-literals ${src} ${copy}
        DEPENDS ${src} escape-literals
        COMMENT "Escaping literals in ${rel}" VERBATIM)
      list(APPEND copies ${copy})
    endforeach()
  endforeach()
  add_custom_target(tavrin_escaped DEPENDS ${copies})
endfunction()

# tavrin_compiled_sources(var source...): the files to compile for the given
# sources, i.e. their escaped copies in the fuzz build.
function(tavrin_compiled_sources var)
  set(result)
  foreach(src IN LISTS ARGN)
    if(TAVRIN_FUZZ)
      file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${src})
      set(src ${TAVRIN_ESCAPED_DIR}/${rel})
      set_source_files_properties(${src} PROPERTIES GENERATED TRUE)
    endif()
    list(APPEND result ${src})
  endforeach()
  set(${var} ${result} PARENT_SCOPE)
endfunction()

# tavrin_source_root(var): where "folder/file.h" includes are found.
function(tavrin_source_root var)
  if(TAVRIN_FUZZ)
    set(${var} ${TAVRIN_ESCAPED_DIR} PARENT_SCOPE)
  else()
    set(${var} ${CMAKE_SOURCE_DIR} PARENT_SCOPE)
  endif()
endfunction()
