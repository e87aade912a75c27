"""Explain a payload: which field broke which rule, the CRC, advisories; then decode it.

    python explain_payload.py '000201...6304ABCD'
"""

import json
import sys

import pavenda

payload = sys.argv[1]
explanation = pavenda.explain(payload)
for finding in explanation.findings:
    print(f"{finding.code}: {finding.detail}")
for advisory in explanation.advisories:
    print(f"advisory {advisory.kind}: {advisory.detail}")
if explanation.decode_error is None:
    print(json.dumps(pavenda.decode(payload), indent=2, ensure_ascii=False))
else:
    try:
        pavenda.decode(payload)
    except pavenda.DecodeError as error:
        print(f"does not decode at character {error.offset}: {error.reason}")
sys.exit(0 if explanation.valid else 1)
