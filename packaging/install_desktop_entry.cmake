# Run by `cmake --install` (and by CPack): writes the menu entry with the path the executable is
# installed at, so the entry starts Kestrel whether or not that directory is on the desktop
# session's PATH (~/.local/bin often is not). Given: kestrel_template, kestrel_bindir,
# kestrel_datadir (relative to the prefix, or absolute) and kestrel_app_id.
if(IS_ABSOLUTE "${kestrel_bindir}")
  set(kestrel_exec "${kestrel_bindir}/kestrel")
else()
  set(kestrel_exec "${CMAKE_INSTALL_PREFIX}/${kestrel_bindir}/kestrel")
endif()
if(kestrel_exec MATCHES "[\"`$\\\\%\n]")
  # The desktop entry's quoting of these is easy to get wrong; the PATH finds it as well.
  message(STATUS "The menu entry starts \"kestrel\" through PATH: its path has characters an entry cannot hold plainly")
  set(kestrel_exec "kestrel")
elseif(NOT kestrel_exec MATCHES "^[A-Za-z0-9/._+-]+$")
  set(kestrel_exec "\"${kestrel_exec}\"")
endif()

if(IS_ABSOLUTE "${kestrel_datadir}")
  set(kestrel_entry "$ENV{DESTDIR}${kestrel_datadir}/applications/${kestrel_app_id}.desktop")
else()
  set(kestrel_entry "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${kestrel_datadir}/applications/${kestrel_app_id}.desktop")
endif()
message(STATUS "Installing: ${kestrel_entry}")
configure_file("${kestrel_template}" "${kestrel_entry}" @ONLY)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${kestrel_entry}")
