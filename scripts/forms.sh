# Sourced by the scripts: which Windows form of the program this machine runs.
# The 32-bit program is the product; where the kernel refuses 32-bit programs (no IA-32
# emulation, so no 32-bit Wine of any style), the 64-bit build of the same sources runs.

# True when the kernel runs a 32-bit x86 program: a 96-byte static ELF that only exits
# with 42. It needs no i386 packages, so it answers on a fresh machine too.
pvl_runs_32bit() {
  local probe rc
  probe=$(mktemp "${TMPDIR:-/tmp}/pvl-ia32.XXXXXX") || return 1
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null; rc=$?
  rm -f "$probe"
  [ "$rc" = 42 ]
}

# Prints win32 or win64: PVL_WINDOWS_FORM when set, else what the machine runs.
pvl_windows_form() {
  case ${PVL_WINDOWS_FORM:-} in
    win32|win64) echo "$PVL_WINDOWS_FORM"; return ;;
    '') ;;
    *) echo "PVL_WINDOWS_FORM must be win32 or win64, not '$PVL_WINDOWS_FORM'" >&2; return 1 ;;
  esac
  if pvl_runs_32bit; then echo win32; else echo win64; fi
}

# The CMake toolchain file of a form.
pvl_toolchain() {  # <root> <form>
  case $2 in win32) echo "$1/cmake/mingw-i686.cmake" ;; win64) echo "$1/cmake/mingw-x86_64.cmake" ;; esac
}
