# Sourced by the tests that need the test server (KORA_TEST_SERVER, which
# scripts/test.sh sets): without one such a test is skipped (77), and fails
# under CI=true.
if [ -z "${KORA_TEST_SERVER:-}" ]; then
    [ "${CI:-}" = true ] && { echo "FAIL: KORA_TEST_SERVER is not set"; exit 1; }
    echo "skipped: KORA_TEST_SERVER names no test server"
    exit 77
fi
