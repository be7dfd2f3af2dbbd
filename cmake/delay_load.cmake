# DLLs the program needs only for what the user chooses to do (the common dialogs, printing, the
# shell, the tooltips) are loaded at their first call rather than at start-up, which keeps them and
# everything they pull in (the print system among it) out of a program that never uses them. Each
# gets a delay-import library made by dlltool from the functions the program calls; a function
# missing from its list fails the link.
string(REGEX REPLACE "g\\+\\+(-posix)?$" "dlltool" QUORVALE_DLLTOOL ${CMAKE_CXX_COMPILER})

# quorvale_delay_import(NAME DLL FUNCTION@ARGUMENT_BYTES...) makes the imported library
# delay_NAME; the argument bytes are the 32-bit stdcall decoration.
function(quorvale_delay_import name dll)
  set(def "LIBRARY ${dll}\nEXPORTS\n")
  foreach(function ${ARGN})
    if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
      string(REGEX REPLACE "@[0-9]+$" "" function ${function})
    endif()
    string(APPEND def "${function}\n")
  endforeach()
  set(folder ${CMAKE_BINARY_DIR}/delay-import)
  file(MAKE_DIRECTORY ${folder})
  file(WRITE ${folder}/${name}.def ${def})
  execute_process(
    COMMAND ${QUORVALE_DLLTOOL} --kill-at --input-def ${name}.def --dllname ${dll}
            --output-delaylib lib${name}_delay.a
    WORKING_DIRECTORY ${folder} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "dlltool could not make the delay-import library for ${dll}")
  endif()
  add_library(delay_${name} STATIC IMPORTED GLOBAL)
  set_target_properties(delay_${name} PROPERTIES IMPORTED_LOCATION ${folder}/lib${name}_delay.a
                                                 INTERFACE_LINK_LIBRARIES delayimp)
endfunction()

quorvale_delay_import(comdlg32 comdlg32.dll
  ChooseFontA@4 GetFileTitleA@12 GetOpenFileNameA@4 GetSaveFileNameA@4 PrintDlgA@4)
quorvale_delay_import(comctl32 comctl32.dll InitCommonControlsEx@4)
quorvale_delay_import(shell32 shell32.dll ShellExecuteA@24)
quorvale_delay_import(winspool winspool.drv
  ClosePrinter@4 DocumentPropertiesA@24 GetPrinterA@20 OpenPrinterA@12)
