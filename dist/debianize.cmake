# Run by CPack on the staged tree before the .deb is made: Debian keeps man
# pages and the changelog compressed.
file(GLOB_RECURSE _docs
  "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man1/*.1"
  "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/doc/brevia/changelog")
foreach(f IN LISTS _docs)
  execute_process(COMMAND gzip -9nf "${f}" RESULT_VARIABLE rc)
  if(rc)
    message(FATAL_ERROR "gzip ${f} failed")
  endif()
endforeach()
