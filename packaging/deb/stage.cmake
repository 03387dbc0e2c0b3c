# Run by CPack once `cmake --install` has filled the package's tree, before the package is made:
# adds what only the Debian package has. `cmake --install` alone keeps installing the program
# directory that its user writes into; the package's program directory is read-only, so its
# command pastrix stages a copy for each user (resources/launcher.sh).
set(root "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(source "${CPACK_PASTRIX_DEB_SOURCE_DIR}")
set(data "${root}/${CPACK_PASTRIX_DATA_DIR}")
if(NOT EXISTS "${root}/lib/pastrix/pastrix")
    message(FATAL_ERROR "deb: the installed tree has no ${root}/lib/pastrix/pastrix")
endif()

set(directory_permissions OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
set(file_permissions OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

function(make_directories)
    foreach(directory IN LISTS ARGN)
        file(MAKE_DIRECTORY "${directory}")
        file(CHMOD "${directory}" PERMISSIONS ${directory_permissions})
    endforeach()
endfunction()

# Copies a file, compressed as Debian wants it (-n: no name or time in the header, so the same
# sources make the same package).
find_program(gzip_program gzip REQUIRED)
function(install_compressed from to)
    execute_process(COMMAND "${gzip_program}" -9 -n -c "${from}" OUTPUT_FILE "${to}"
        RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "deb: gzip could not compress ${from}")
    endif()
    file(CHMOD "${to}" PERMISSIONS ${file_permissions})
endfunction()

make_directories("${root}/bin" "${data}/man" "${data}/man/man1" "${data}/doc"
    "${data}/doc/pastrix")

file(COPY_FILE "${CPACK_PASTRIX_LAUNCHER}" "${root}/bin/pastrix")
file(CHMOD "${root}/bin/pastrix" PERMISSIONS ${directory_permissions})
file(CREATE_LINK ../lib/pastrix/pastrixctl "${root}/bin/pastrixctl" SYMBOLIC)

install_compressed("${source}/pastrix.1" "${data}/man/man1/pastrix.1.gz")
install_compressed("${source}/pastrixctl.1" "${data}/man/man1/pastrixctl.1.gz")
# A native package: the changelog is changelog.gz, not changelog.Debian.gz.
install_compressed("${source}/changelog" "${data}/doc/pastrix/changelog.gz")
file(COPY_FILE "${source}/copyright" "${data}/doc/pastrix/copyright")
file(CHMOD "${data}/doc/pastrix/copyright" PERMISSIONS ${file_permissions})

# The menu starts the command on the PATH, which stages the user's program directory; the
# installed entry names the shared program directory itself.
set(entry_file "${data}/applications/pastrix.desktop")
file(READ "${entry_file}" entry)
string(REGEX REPLACE "\nExec=[^\n]*" "\nExec=pastrix" entry "${entry}")
if(NOT entry MATCHES "\nExec=pastrix\n")
    message(FATAL_ERROR "deb: ${entry_file} has no Exec line")
endif()
file(WRITE "${entry_file}" "${entry}")
