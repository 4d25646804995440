#!/usr/bin/env python3
"""skipped_tests.py JUNIT_XML

Prints how many tests of a CTest run did not run and why, from the JUnit
file `ctest --output-junit` wrote: a test's own "skipped: ..." line, a
GoogleTest case's skip message, or CTest's reason (a skip return code, a
disabled test, a missing fixture). Prints nothing more than the count when
every test ran, so a suite can never shrink without a word.
"""
import sys
import xml.etree.ElementTree as ElementTree


def reason_of(testcase):
    output = testcase.findtext("system-out") or ""
    lines = [line.strip() for line in output.splitlines()]
    for line in lines:
        if line.lower().startswith("skipped:"):
            return line[len("skipped:"):].strip()
    # GoogleTest: "file:line: Skipped" then the message, up to "[  SKIPPED ]".
    for i, line in enumerate(lines):
        if line.endswith(": Skipped"):
            message = []
            for following in lines[i + 1:]:
                if following.startswith("[  SKIPPED ]") or not following:
                    break
                message.append(following)
            if message:
                return " ".join(message)
    # A script's last words, else what CTest says (a skip return code, a
    # fixture that failed).
    last = [line for line in lines if line]
    if last:
        return last[-1]
    skipped = testcase.find("skipped")
    if skipped is not None and skipped.get("message"):
        return skipped.get("message")
    return "no reason given"


def skipped_tests(path):
    root = ElementTree.parse(path).getroot()
    found = []
    for testcase in root.iter("testcase"):
        if testcase.get("status") in ("notrun", "disabled") or testcase.find("skipped") is not None:
            found.append((testcase.get("name"), reason_of(testcase)))
    return found


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    try:
        found = skipped_tests(argv[1])
    except (OSError, ElementTree.ParseError, LookupError, ValueError) as error:  # unknown encodings too
        print("skipped tests: cannot read %s: %s" % (argv[1], error))
        return 1
    print("skipped tests: %d" % len(found))
    for name, reason in found:
        print("  %s: %s" % (name, reason))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
