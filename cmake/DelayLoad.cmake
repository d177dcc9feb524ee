# tarvelo_delay_load(<target> <library>...)
# Links the target against delay-import libraries of the named system DLLs
# (shell32, comdlg32, ...): such a DLL is loaded when the program first calls
# into it rather than when the program starts. Each library is made once, from
# the tool chain's import library, with dlltool.
find_program(TARVELO_DLLTOOL NAMES ${TOOLCHAIN_PREFIX}-dlltool dlltool REQUIRED)

# Appends to the list `out` every static library target that `target` links,
# directly or through other libraries, each after the libraries that use it
# (the order the linker needs).
function(tarvelo_static_libraries_of out target)
  set(visited ${${out}_visited})
  set(order ${${out}})
  get_target_property(direct ${target} LINK_LIBRARIES)
  get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
  foreach(item ${direct} ${interface})
    if(TARGET ${item} AND NOT item IN_LIST visited)
      list(APPEND visited ${item})
      set(sub ${order})
      set(sub_visited ${visited})
      tarvelo_static_libraries_of(sub ${item})
      set(order ${sub})
      set(visited ${sub_visited})
      get_target_property(type ${item} TYPE)
      if(type STREQUAL "STATIC_LIBRARY")
        list(APPEND order ${item})  # after everything it uses: reversed below
      endif()
    endif()
  endforeach()
  set(${out} ${order} PARENT_SCOPE)
  set(${out}_visited ${visited} PARENT_SCOPE)
endfunction()

function(tarvelo_delay_load target)
  set(statics)
  tarvelo_static_libraries_of(statics ${target})
  list(REVERSE statics)
  target_link_libraries(${target} PRIVATE ${statics})
  foreach(name ${ARGN})
    set(delayLib ${CMAKE_BINARY_DIR}/delayload/lib${name}_delay.a)
    set(dll ${name}.dll)
    if(name STREQUAL "winspool")
      set(dll winspool.drv)
    endif()
    set(keepScript ${CMAKE_BINARY_DIR}/delayload/${name}_keep.ld)
    if(NOT EXISTS ${delayLib} OR (CMAKE_SIZEOF_VOID_P EQUAL 4 AND NOT EXISTS ${keepScript}))
      set(importLib ${CMAKE_FIND_ROOT_PATH}/lib/lib${name}.a)
      if(NOT EXISTS ${importLib})
        message(FATAL_ERROR "no import library ${importLib}")
      endif()
      execute_process(COMMAND ${CMAKE_NM} -g --defined-only ${importLib}
                      OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
      # Every function the DLL exports is a "T" symbol of the import library.
      string(REGEX MATCHALL "[0-9a-fA-F]+ T [A-Za-z_][A-Za-z0-9_@]*" functions "${symbols}")
      list(TRANSFORM functions REPLACE "^[0-9a-fA-F]+ T " "")
      set(killAt)
      if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        # The 32-bit linker drops an import member's code when nothing calls
        # it by its plain name, and calls through a dllimport declaration use
        # only the __imp_ slot: the slot would then point at nothing. A script
        # that names every thunk before the library keeps them all.
        list(TRANSFORM functions REPLACE "^(.+)$" "\"\\1\"" OUTPUT_VARIABLE quoted)
        list(JOIN quoted "\n" keepList)
        file(WRITE ${keepScript} "EXTERN(\n${keepList}\n)\n")
        # 32-bit names carry the C prefix and the stdcall suffix (_Name@12):
        # the definition lists them without the prefix, and the DLL is asked
        # for them without the suffix.
        list(TRANSFORM functions REPLACE "^_" "")
        set(killAt --kill-at)
      endif()
      list(REMOVE_DUPLICATES functions)
      list(JOIN functions "\n" exports)
      file(WRITE ${CMAKE_BINARY_DIR}/delayload/${name}.def "LIBRARY ${dll}\nEXPORTS\n${exports}\n")
      execute_process(COMMAND ${TARVELO_DLLTOOL} --input-def ${CMAKE_BINARY_DIR}/delayload/${name}.def
                              --dllname ${dll} --output-delaylib ${delayLib} ${killAt}
                      COMMAND_ERROR_IS_FATAL ANY)
    endif()
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      target_link_libraries(${target} PRIVATE ${keepScript})
    endif()
    target_link_libraries(${target} PRIVATE ${delayLib})
  endforeach()
endfunction()
