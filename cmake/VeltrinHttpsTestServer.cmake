# The loopback HTTPS server of tests/support for the programs outside the tests that use it
# (the local update server of the demo, the download benchmark), also when the tests are off.
function(veltrin_add_https_test_server)
    if(NOT TARGET veltrin_https_test_server)
        add_subdirectory("${PROJECT_SOURCE_DIR}/tests/support"
                         "${PROJECT_BINARY_DIR}/https-test-server")
    endif()
endfunction()
