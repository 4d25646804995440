"""End-to-end cases for signed update documents: the real launcher built
with the test signing key (TarselMainLauncherSigned.exe) against nginx,
with documents signed by the real minisign tool."""
import hashlib
import os
import shutil
import subprocess

from e2e_harness import (LINE_DOWNLOADED, check, expect_clean_exit, expect_client_started, expect_nothing_recorded,
                         expect_recorded, shows_the_box, wine_path)

LINE_REFUSED = "[******] update document refused"
LINE_VERIFIED = "[******] update document signature verified"


def _signed_scenario(build, case):
    # Imported here: e2e_cases imports this module for its case list.
    from e2e_cases import Scenario
    s = Scenario(build, case)
    keyed = os.path.join(build.dir, "tests", "e2e", "TarselMainLauncherSigned.exe")
    check(os.path.exists(keyed), "the keyed launcher %s was not built" % keyed)
    shutil.copy(keyed, os.path.join(s.folder.dir, "TarselMainLauncher.exe"))
    return s


def _sign_document(build, s, alter_after_signing=None):
    path = os.path.join(s.site.docroot, s.site.folder, "pc", "Update.cfg")
    # A launcher with a key offers only packages whose SHA-256 is signed.
    with open(path, "rb") as f:
        text = f.read()
    sha256 = hashlib.sha256(s.package).hexdigest().encode()
    with open(path, "wb") as f:
        f.write(text.replace(b'"ExeUrl": "', b'"SHA256": "' + sha256 + b'", "ExeUrl": "', 1))
    key = os.path.join(build.dir, "test-signing-key", "update.key")
    subprocess.run(["minisign", "-S", "-s", key, "-m", path], check=True, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL)
    if alter_after_signing:
        with open(path, "rb") as f:
            text = f.read()
        with open(path, "wb") as f:
            f.write(alter_after_signing(text))


@shows_the_box
def signed_document_installer_runs_next_launch(build, case):
    s = _signed_scenario(build, case)
    s.offer()
    _sign_document(build, s)
    result = s.launch()
    expect_client_started(s.folder)
    check(result.debug_has(LINE_VERIFIED) and result.debug_has(LINE_DOWNLOADED),
          "the signed document was not verified and used:\n" + result.debug_text)
    recorded = expect_recorded(s.folder, s.package)
    check(recorded.get("timestamp", "").isdigit(), "the document's timestamp was not recorded: %s" % recorded)
    check(s.site.nginx_requests("pc/Update.cfg.minisig"), "the signature was never fetched")
    result = s.folder.launch_and_answer(lambda screen: None, "right")
    expect_clean_exit(result)
    starts = s.folder.wait_for_starts(2)
    check(len(starts) == 2 and starts[1][0] == "installer" and starts[1][1].lower() == recorded["exe"].lower(),
          "the recorded installer %s should start; the stubs logged %s" % (recorded["exe"], starts))


def tampered_signed_document_is_refused(build, case):
    s = _signed_scenario(build, case)
    s.offer()
    # The package's address moved after signing: what an attacker on the
    # path would do to hand out a program of his own.
    _sign_document(build, s, lambda text: text.replace(b"package.exe", b"package.exe?"))
    before = s.folder.data_bytes()
    result = s.launch()
    expect_client_started(s.folder)
    check(result.debug_has(LINE_REFUSED), "the tampered document was not refused:\n" + result.debug_text)
    check(not s.site.nginx_requests("package.exe"), "the package of a refused document was downloaded")
    expect_nothing_recorded(s.folder, before)


CASES = [signed_document_installer_runs_next_launch, tampered_signed_document_is_refused]
