# The command line's manual page and bash completion, for `cmake --install`
# and so for the Debian package cpack builds from the install rules.
include(GNUInstallDirs)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/qorzip.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/qorzip.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME qorzip)
