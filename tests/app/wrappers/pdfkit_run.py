"""Drives quirexpdf through the pdfkit wrapper, as a script written for the
program it stands in for would: from a string to a path, from a list of files
to bytes, and from a URL of a local server. Usage: pdfkit_run.py WORK QUIREXPDF.
The PDFs land in WORK; the server writes the headers of the page's request to
WORK/headers.txt. Any failure raises, which ends the script with exit code 1."""
import http.server
import os
import sys
import threading

import pdfkit

work, binary = sys.argv[1], sys.argv[2]
config = pdfkit.configuration(wkhtmltopdf=binary)

# A dozen options as scripts pass them: lengths in their units, flags as
# empty values, headers and footers with placeholders.
string_options = {
    "page-size": "A5",
    "orientation": "Landscape",
    "margin-top": "20mm",
    "margin-bottom": "0.5in",
    "margin-left": "0.75in",
    "margin-right": "2cm",
    "title": "From pdfkit",
    "encoding": "UTF-8",
    "grayscale": "",
    "disable-javascript": "",
    "dpi": "300",
    "disable-smart-shrinking": "",
    "zoom": "1",
    "header-left": "[title]",
    "footer-right": "Page [page] of [topage]",
    "footer-font-size": "8",
    "header-line": "",
}
with open(os.path.join(work, "string.html"), encoding="utf-8") as f:
    html = f.read()
pdfkit.from_string(html, os.path.join(work, "string.pdf"), options=string_options,
                   configuration=config)

files = [os.path.join(work, "a.html"), os.path.join(work, "b.html")]
data = pdfkit.from_file(files, False, options={"outline-depth": "1", "title": "Joined",
                                               "footer-center": "[page]/[topage]"},
                        configuration=config)
assert data[:5] == b"%PDF-", data[:40]
with open(os.path.join(work, "files.pdf"), "wb") as f:
    f.write(data)


class Handler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=work, **kwargs)

    def do_GET(self):
        if self.path.endswith("/a.html"):
            with open(os.path.join(work, "headers.txt"), "w") as f:
                f.write(str(self.headers))
        super().do_GET()

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
threading.Thread(target=server.serve_forever, daemon=True).start()
url = "http://127.0.0.1:%d/a.html" % server.server_address[1]
pdfkit.from_url(url, os.path.join(work, "url.pdf"),
                options={"custom-header": [("X-Test", "yes")], "cookie": [("session", "abc")],
                         "print-media-type": "", "header-right": "[webpage]"},
                configuration=config)
server.shutdown()
