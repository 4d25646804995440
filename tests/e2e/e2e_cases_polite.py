"""End-to-end case for a package the server asks to be fetched politely
("Background": true): the download paces itself by the delay it adds on the
line, and the package still arrives whole and verified."""
from e2e_harness import check, expect_client_started, expect_recorded

LINE_BACKGROUND = "[******] background download"


def background_package_downloads_politely_and_verifies(build, case):
    # Imported here: e2e_cases imports this module for its case list.
    from e2e_cases import Scenario
    s = Scenario(build, case)
    publish = s.site.publish_document
    # The package entry asks for a polite download.
    s.site.publish_document = lambda text: publish(text.replace(b'"ExeUrl"', b'"Background": true, "ExeUrl"'))
    try:
        s.offer()
    finally:
        s.site.publish_document = publish
    result = s.launch()
    expect_client_started(s.folder)
    check(result.debug_has(LINE_BACKGROUND), "the download was not polite:\n" + result.debug_text)
    expect_recorded(s.folder, s.package)
    ranged = [line for line in s.site.nginx_requests("package.exe") if "GET" in line and '"bytes=' in line]
    check(len(ranged) == 3, "a 6 MiB package should still come in 3 ranged parts, nginx saw %s" % ranged)


def package_without_background_is_not_polite(build, case):
    from e2e_cases import Scenario
    s = Scenario(build, case)
    s.offer()
    result = s.launch()
    expect_recorded(s.folder, s.package)
    check(not result.debug_has(LINE_BACKGROUND), "a package the server did not mark was fetched politely")


CASES = [background_package_downloads_politely_and_verifies, package_without_background_is_not_polite]
