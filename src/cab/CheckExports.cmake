# cmake -DOBJDUMP=... -DDLL=... -P CheckExports.cmake
# Fails when cab.dll does not export each of its five calls under its plain name (a 32-bit
# build would otherwise export stdcall names such as CABCREATE@4).
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE table RESULT_VARIABLE failed)
foreach(name CABCOMPRESSINITIALIZE CABCREATE CABADDFILE CABCLOSE CABCOMPRESSTERMINATE)
  if(failed OR NOT table MATCHES "\\] ${name}\n")
    message(FATAL_ERROR "${DLL} does not export ${name} undecorated")
  endif()
endforeach()
