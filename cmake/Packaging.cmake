# What the native programs' install rules share, so that what they install can go into the
# Debian package as it is: the date every generated file carries, directory permissions that
# do not depend on the umask, and documentation compressed as Debian wants it.
include(GNUInstallDirs)

# The last commit's time, unless SOURCE_DATE_EPOCH is set: the same commit gives the same
# dates in the manual and the changelog, and the same time stamps in the package. A source
# tarball carries it in commit-time.txt, which git archive fills in (.gitattributes); only a
# tree that has neither falls back to the clock.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  file(READ ${CMAKE_CURRENT_LIST_DIR}/commit-time.txt epoch)
  string(STRIP "${epoch}" epoch)
  if(NOT epoch MATCHES "^[0-9]+$")
    execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(NOT epoch MATCHES "^[0-9]+$")
    string(TIMESTAMP epoch "%s" UTC)
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()
set(WRIGGLET_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                                WORLD_READ WORLD_EXECUTE)

# wrigglet_gzip(SOURCE OUTPUT): OUTPUT (SOURCE's name and .gz) is made at build time,
# gzip -9 without name or time stamp.
function(wrigglet_gzip source output)
  string(REGEX REPLACE "\\.gz$" "" plain "${output}")
  get_filename_component(name "${output}" NAME)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${plain}
    COMMAND gzip -9nf ${plain}
    DEPENDS ${source}
    COMMENT "Compressing ${name}"
    VERBATIM)
  add_custom_target(gzip-${name} ALL DEPENDS ${output})
endfunction()

# wrigglet_install_man_page(NAME.SECTION.in): the page with @PROJECT_VERSION@,
# @WRIGGLET_MAN_DATE@ and the configured install folders (@CMAKE_INSTALL_FULL_LIBEXECDIR@ and
# the like) filled in, installed compressed in the manual's section SECTION.
function(wrigglet_install_man_page source)
  get_filename_component(page "${source}" NAME_WLE)
  string(REGEX MATCH "[^.]+$" section "${page}")
  string(TIMESTAMP WRIGGLET_MAN_DATE "%Y-%m-%d" UTC)
  configure_file(${source} ${CMAKE_CURRENT_BINARY_DIR}/${page}.out @ONLY)
  wrigglet_gzip(${CMAKE_CURRENT_BINARY_DIR}/${page}.out ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.gz)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()
