void tessaro_test_support_placeholder() {}
