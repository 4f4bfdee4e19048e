# Sourced by test.sh and run.sh: installs the Debian packages that are
# missing, as root; otherwise names them and fails.
# jwm, openbox and x11-utils (xprop, xwininfo) are for the tests that put
# the program on a desktop with a window manager and a taskbar.
PAKETE=(cmake g++ ninja-build qt6-base-dev libxcb1-dev qt6-translations-l10n libgtest-dev libgmock-dev
        libbenchmark-dev xvfb xauth xdotool jwm openbox x11-utils fonts-dejavu-core fonts-liberation2)

installiere_pakete() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
  else
    echo "Missing packages: ${missing[*]} (run as root to install them)" >&2
    return 1
  fi
}
