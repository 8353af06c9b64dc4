#!/usr/bin/env python3
"""Reads ctest's JUnit report of the sanitizer run and says whether its
failures may be tried again.

LeakSanitizer's own tracer can crash while it stops the threads of a process
that has used the Firebird client: at exit, when the client's threads wind
down at the same moment (seen in CI, once twice in a row on one case), and
every time when the check is asked for while the client is still loaded. It then says "LeakSanitizer has
encountered a fatal error". That is no finding about this program, unlike
"detected memory leaks" or any other sanitizer's report, which never earn
another try.

Exit status 0 when every failed case failed only so, with their names on
standard output, one per line; 1 when any failure is a finding of its own.
--self-test checks the rule on made-up reports."""
import sys
import xml.etree.ElementTree as ET

TOOL_CRASH = "LeakSanitizer has encountered a fatal error"
FINDINGS = ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:",
            "[  FAILED  ]")


def only_tool_crash(output):
    return TOOL_CRASH in output and not any(f in output for f in FINDINGS)


def retryable(report_xml):
    """Names of the failed cases, or None when one of them has a real finding."""
    names = []
    for case in ET.fromstring(report_xml).iter("testcase"):
        if case.get("status") != "fail":
            continue
        if not only_tool_crash(case.findtext("system-out") or ""):
            return None
        names.append(case.get("name"))
    return names


def self_test():
    def report(*cases):
        body = "".join(f'<testcase name="{n}" status="{s}"><system-out>{o}</system-out></testcase>'
                       for n, s, o in cases)
        return f"<testsuite>{body}</testsuite>"
    crash = "[  PASSED  ] 1 test.\nTracer caught signal 11\n==1==" + TOOL_CRASH
    leak = "==1==ERROR: LeakSanitizer: detected memory leaks"
    rows = [
        (report(("a", "run", "ok"), ("b", "fail", crash)), ["b"]),
        (report(("b", "fail", crash), ("c", "fail", leak)), None),
        (report(("d", "fail", "[  FAILED  ] X.Y\n" + crash)), None),
        (report(("e", "fail", "x.cpp:3: runtime error: signed overflow")), None),
        (report(("f", "fail", "script said: wrong rows")), None),
        (report(("a", "run", "ok")), []),
    ]
    bad = [(i, got) for i, (xml, want) in enumerate(rows) if (got := retryable(xml)) != want]
    for i, got in bad:
        print(f"row {i}: got {got}")
    return 1 if bad else 0


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    with open(sys.argv[1], encoding="utf-8") as f:
        names = retryable(f.read())
    if names is None:
        return 1
    print("\n".join(names))
    return 0


if __name__ == "__main__":
    sys.exit(main())
