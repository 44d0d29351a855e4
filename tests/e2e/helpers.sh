# Sourced by the end-to-end tests: how they fail, and how they wait for a desktop that
# answers in its own time.
fail() { echo "FAIL: $*" >&2; exit 1; }

# wait_for TENTHS COMMAND...: runs COMMAND every tenth of a second until it succeeds, at most
# TENTHS times.
wait_for() {
  local tenths=$1; shift
  for ((i = 0; i < tenths; i++)); do "$@" && return 0; sleep 0.1; done
  return 1
}
