# Shared by run.sh and test.sh: installs missing Debian packages and builds
# the project. Source it; it defines ROOT, BUILD and the functions below.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"

say() { printf '==> %s\n' "$*"; }

# install_packages NAME...: installs those of the named Debian packages that
# are missing.
install_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Missing packages (${missing[*]}): run as root." >&2; exit 1; }
    sudo=sudo
  fi
  say "Installing ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

RUN_PACKAGES=(cmake make g++ libvtk9-dev libgtest-dev libbenchmark-dev libeigen3-dev
  xvfb x11-utils xdotool imagemagick ffmpeg)
TEST_PACKAGES=("${RUN_PACKAGES[@]}" clang libclang-rt-14-dev)

# build_tree DIR [CMAKE ARGS...]: configures and builds one build tree.
build_tree() {
  local dir=$1 started=$SECONDS
  shift
  mkdir -p "$dir"
  say "Configuring $dir"
  cmake -S "$ROOT" -B "$dir" "$@" >"$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
  say "Building $dir (log: $dir.build.log)"
  local status
  set +o pipefail
  cmake --build "$dir" -j"$(nproc)" 2>&1 | tee "$dir.build.log" |
    grep -E --line-buffered '^\[ *[0-9]+%\] Built target'
  status=${PIPESTATUS[0]}
  if [ "$status" -ne 0 ]; then
    grep -E -B2 -A6 'error|Error' "$dir.build.log" | tail -60
    echo "Build of $dir failed." >&2
    exit 1
  fi
  say "Built $dir in $((SECONDS - started)) s"
}

# Things to do when the script exits, in the order they were added.
EXIT_ACTIONS=()
run_exit_actions() {
  local action
  for action in "${EXIT_ACTIONS[@]}"; do
    eval "$action" || true
  done
}
on_exit() {
  EXIT_ACTIONS+=("$1")
  trap run_exit_actions EXIT
  # A script stopped by a signal runs its exit actions too.
  trap 'exit 143' TERM
  trap 'exit 130' INT
}

# tied COMMAND...: starts COMMAND in the background, tied to this script:
# the kernel sends it SIGTERM when the script ends, however it ends (a
# SIGKILL on a test's timeout included). Sets TIED_PID.
tied() {
  setpriv --pdeathsig TERM -- "$@" &
  TIED_PID=$!
}

# start_xvfb: starts a virtual display of the script's own and exports
# DISPLAY and XVFB_PID. The server picks a free display number itself
# (-displayfd), so scripts started side by side never race for one; it is
# tied to the script and stopped when the script exits.
start_xvfb() {
  local ready n=""
  ready=$(mktemp)
  setpriv --pdeathsig TERM -- Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp \
    9>"$ready" >/dev/null 2>&1 &
  XVFB_PID=$!
  on_exit "kill $XVFB_PID 2>/dev/null"
  for _ in $(seq 200); do
    n=$(head -n 1 "$ready")
    [ -n "$n" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  rm -f "$ready"
  if [ -z "$n" ] || ! kill -0 "$XVFB_PID" 2>/dev/null; then
    echo "The virtual display (Xvfb) did not start." >&2
    exit 1
  fi
  export DISPLAY=":$n" XVFB_PID
  if ! xdpyinfo >/dev/null 2>&1; then
    echo "The virtual display $DISPLAY does not answer." >&2
    exit 1
  fi
}

# frames_per_cycle PROGRAM: the frames of one animation cycle of a program.
frames_per_cycle() {
  case "$1" in
    moorwhisk) echo 22 ;;
    *) echo 320 ;;
  esac
}

PROGRAMS=(pelagrin-eight pelagrin-ring pelagrin-eight-bare pelagrin-ring-bare moorwhisk)
