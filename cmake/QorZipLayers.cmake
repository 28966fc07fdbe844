# Each layer folder is one library made of every source file in it, so adding
# a file needs no edit here. A folder without sources yet becomes an
# interface library that only passes its dependencies on.
function(qz_add_layer target)
    cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    if(sources)
        add_library(${target} STATIC ${sources} ${headers})
        target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
        target_link_libraries(${target} PUBLIC ${ARG_LINKS})
    else()
        add_library(${target} INTERFACE)
        target_include_directories(${target} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
        target_link_libraries(${target} INTERFACE ${ARG_LINKS})
    endif()
endfunction()

# One test executable per layer folder: every .cpp of tests/<layer>/ plus the
# shared test main, which runs each registered test class in turn.
function(qz_add_test layer)
    cmake_parse_arguments(ARG "GUI" "" "LINKS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${layer}/*.cpp
                                        ${CMAKE_CURRENT_SOURCE_DIR}/${layer}/*.h)
    if(NOT sources)
        return()
    endif()
    set(target test_${layer})
    add_executable(${target} ${sources})
    if(ARG_GUI)
        target_link_libraries(${target} PRIVATE qz_testmain_gui)
    else()
        target_link_libraries(${target} PRIVATE qz_testmain_core)
    endif()
    target_link_libraries(${target} PRIVATE ${ARG_LINKS})
    add_test(NAME ${layer} COMMAND ${target})
    # The GUI test main picks the offscreen platform unless QT_QPA_PLATFORM
    # names another (CI runs the "gui" tests once more on a real X server).
    set_tests_properties(${layer} PROPERTIES
        ENVIRONMENT "QORZIP_SOURCE_DIR=${CMAKE_SOURCE_DIR};QORZIP_BINARY_DIR=${CMAKE_BINARY_DIR}"
        TIMEOUT 600)
    if(ARG_GUI)
        set_tests_properties(${layer} PROPERTIES LABELS gui)
    endif()
endfunction()
