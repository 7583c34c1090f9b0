# Every build first checks that each room includes only the rooms it may
# use (tools/check_rooms.py holds the table): whatever target is built, the
# check runs before its compiler.
find_program(ROOM_RULES_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
add_custom_target(room_rules COMMAND ${ROOM_RULES_PYTHON3} ${PROJECT_SOURCE_DIR}/tools/check_rooms.py
                                     ${PROJECT_SOURCE_DIR} VERBATIM)

# Makes every target built in folder, and in the project's folders below it,
# wait for the check.
function(tolvane_check_rooms_first folder)
    get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        if(NOT target STREQUAL room_rules)
            add_dependencies(${target} room_rules)
        endif()
    endforeach()
    get_property(folders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
    foreach(below IN LISTS folders)
        cmake_path(IS_PREFIX PROJECT_SOURCE_DIR ${below} inside)
        if(inside)
            tolvane_check_rooms_first(${below})
        endif()
    endforeach()
endfunction()
