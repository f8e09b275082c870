#!/usr/bin/env bash
# Fails when a Windows SDK header is included outside the places that are
# Windows programs or the real backend: platform/win32/, the program entry
# (Setup.cpp, SetupTerminate.cpp), the end-to-end drivers (tests/e2e/), the
# Windows benchmarks (bench/win32/) and the tests' helpers on the real system
# (tests/support/win32/).
# Elsewhere a header in angle brackets must be one of the C and C++ standard
# library, GoogleTest's or a POSIX header that the native build has; anything
# else counts as an SDK header, so a header name never seen before fails too.
# A quoted name that is no file of this tree is looked up on the system path
# in the same way.
set -u
root=$1
cd "$root" || exit 2

standard=" assert.h complex.h ctype.h errno.h fenv.h float.h inttypes.h iso646.h limits.h locale.h math.h
  setjmp.h signal.h stdalign.h stdarg.h stdatomic.h stdbool.h stddef.h stdint.h stdio.h stdlib.h stdnoreturn.h
  string.h tgmath.h threads.h time.h uchar.h wchar.h wctype.h
  algorithm any array atomic barrier bit bitset cassert ccomplex cctype cerrno cfenv cfloat charconv chrono
  cinttypes ciso646 climits clocale cmath codecvt compare complex concepts condition_variable coroutine csetjmp
  csignal cstdalign cstdarg cstdbool cstddef cstdint cstdio cstdlib cstring ctgmath ctime cuchar cwchar cwctype
  deque exception execution filesystem format forward_list fstream functional future initializer_list iomanip ios
  iosfwd iostream istream iterator latch limits list locale map memory memory_resource mutex new numbers numeric
  optional ostream queue random ranges ratio regex scoped_allocator semaphore set shared_mutex source_location span
  sstream stack stdexcept stop_token streambuf string string_view strstream syncstream system_error thread tuple
  type_traits typeindex typeinfo unordered_map unordered_set utility valarray variant vector version
  iconv.h unistd.h fcntl.h dirent.h sys/types.h sys/stat.h sys/wait.h "
is_known() {
  case $1 in
    gtest/* | gmock/*) return 0 ;;
  esac
  [[ $standard == *[[:space:]]"$1"[[:space:]]* ]]
}

mapfile -t files < <(find . \( -path './build*' -o -path './.*' \) -prune -o -type f \
  \( -name '*.c' -o -name '*.cc' -o -name '*.cpp' -o -name '*.cxx' -o -name '*.h' -o -name '*.hh' \
     -o -name '*.hpp' -o -name '*.hxx' -o -name '*.inl' -o -name '*.ipp' \) -print | sed 's|^\./||' | sort |
  grep -vE '^(platform/win32/|tests/e2e/|tests/support/win32/|bench/win32/|Setup\.cpp$|SetupTerminate\.cpp$)')

bad=0
include='^[[:space:]]*#[[:space:]]*include[[:space:]]*(<[^>]*>|"[^"]*"|[^[:space:]]+)'
while IFS= read -r line; do
  file=${line%%:*}
  [[ ${line#*:} =~ $include ]] || continue
  spec=${BASH_REMATCH[1]}
  case $spec in
    '<'*) name=${spec#<} name=${name%>} ;;
    '"'*)
      name=${spec#\"} name=${name%\"}
      [ -f "${file%/*}/$name" ] || [ -f "$name" ] && continue
      ;;
    *)
      echo "$file includes $spec: an include through a macro could be any header"
      bad=1
      continue
      ;;
  esac
  if ! is_known "$name"; then
    echo "$file includes $spec: a Windows SDK header (or another system header) outside the Windows code"
    bad=1
  fi
done < <([ ${#files[@]} -gt 0 ] && grep -HE '^[[:space:]]*#[[:space:]]*include' "${files[@]}")

if [ "$bad" -ne 0 ]; then
  exit 1
fi
echo "Windows SDK headers stay in platform/win32, the program entry and the Windows test and bench programs."
