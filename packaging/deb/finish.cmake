# Run by CPack once it made the package, before it is copied to the build directory. CPack adds
# ldconfig calls as postinst and postrm for any shared library below /usr/lib, also for the hook
# library in the program's private directory, where ldconfig never looks. Without them the
# package has no maintainer script at all, so neither installing nor removing it can touch
# anything but its own files; dpkg-deb makes it again from the same tree.
find_program(dpkg_deb_program dpkg-deb REQUIRED)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    set(tree "${package}.tree")
    file(REMOVE_RECURSE "${tree}")
    execute_process(COMMAND "${dpkg_deb_program}" --raw-extract "${package}" "${tree}"
        RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "deb: dpkg-deb could not unpack ${package}")
    endif()
    foreach(script postinst postrm)
        if(EXISTS "${tree}/DEBIAN/${script}")
            file(STRINGS "${tree}/DEBIAN/${script}" lines)
            foreach(line IN LISTS lines)
                # Anything else would be a script of the project's, not CPack's.
                if(NOT line MATCHES "^(#!/bin/sh|set -e|if \\[ \"\\$1\" = \"(configure|remove)\" \\]; then|[ \t]*ldconfig|fi|)$")
                    message(FATAL_ERROR "deb: ${script} does more than call ldconfig: ${line}")
                endif()
            endforeach()
            file(REMOVE "${tree}/DEBIAN/${script}")
        endif()
    endforeach()
    execute_process(COMMAND "${dpkg_deb_program}" --root-owner-group --build "${tree}" "${package}"
        RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "deb: dpkg-deb could not make ${package} again")
    endif()
    file(REMOVE_RECURSE "${tree}")
endforeach()
