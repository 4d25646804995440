# The update check against the test nginx (fixture "tarsel_http_servers",
# defined with the downloader's tests).
tarsel_add_gtest(update_check_tests
    SOURCES update_check_test.cpp update_check_run_test.cpp update_check_entry_test.cpp update_check_limits_test.cpp
        update_check_staging_test.cpp update_check_pace_test.cpp
        update_check_site.cpp
    LIBS tarsel_update
    TIMEOUT 120
    FIXTURES tarsel_http_servers)
target_compile_definitions(update_check_tests PRIVATE TARSEL_UPDATE_SERVER="${TARSEL_UPDATE_SERVER}")
