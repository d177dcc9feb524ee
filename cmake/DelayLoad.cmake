# tarvelo_delay_load(<target> <library>...)
# Links the target against delay-import libraries of the named system DLLs
# (shell32, comdlg32, ...): such a DLL is loaded when the program first calls
# into it rather than when the program starts. Each library is made once, from
# the tool chain's import library, with dlltool.
find_program(TARVELO_DLLTOOL NAMES ${TOOLCHAIN_PREFIX}-dlltool dlltool REQUIRED)

function(tarvelo_delay_load target)
  foreach(name ${ARGN})
    set(delayLib ${CMAKE_BINARY_DIR}/delayload/lib${name}_delay.a)
    if(NOT EXISTS ${delayLib})
      set(importLib ${CMAKE_FIND_ROOT_PATH}/lib/lib${name}.a)
      if(NOT EXISTS ${importLib})
        message(FATAL_ERROR "no import library ${importLib}")
      endif()
      execute_process(COMMAND ${CMAKE_NM} -g --defined-only ${importLib}
                      OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
      # Every function the DLL exports is a "T" symbol of the import library.
      string(REGEX MATCHALL "[0-9a-fA-F]+ T [A-Za-z_][A-Za-z0-9_@]*" functions "${symbols}")
      list(TRANSFORM functions REPLACE "^[0-9a-fA-F]+ T " "")
      list(REMOVE_DUPLICATES functions)
      list(JOIN functions "\n" exports)
      file(WRITE ${CMAKE_BINARY_DIR}/delayload/${name}.def "LIBRARY ${name}.dll\nEXPORTS\n${exports}\n")
      execute_process(COMMAND ${TARVELO_DLLTOOL} --input-def ${CMAKE_BINARY_DIR}/delayload/${name}.def
                              --dllname ${name}.dll --output-delaylib ${delayLib}
                      COMMAND_ERROR_IS_FATAL ANY)
    endif()
    target_link_libraries(${target} PRIVATE ${delayLib})
  endforeach()
endfunction()
