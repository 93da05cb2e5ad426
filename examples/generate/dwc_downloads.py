#!/usr/bin/env python3
"""Writes the sample occurrence downloads of examples/dwc, byte for byte.

The same synthetic records of Japanese butterflies (species of the Japan
sample's species table, invented occurrences) in the three forms dwcimport
reads:

  gbif-dwca.zip     a Darwin Core Archive as GBIF writes it: meta.xml, a
                    tab-separated occurrence.txt, metadata.xml (EML) with the
                    download's citation
  gbif-simple.zip   GBIF's simple download: one tab-separated file with a header
                    row of term names, named by its download key
  occurrences.csv   a comma-separated file with a header of Darwin Core terms in
                    another order, quoted fields, CR LF line ends

A few records of each kind dwcimport refuses are among them.

    examples/generate/dwc_downloads.py [OUTPUT-FOLDER]   (default: examples/dwc)
"""
import csv
import io
import os
import sys
import zipfile

KEY = "0000001-261207000000000"
DOI = "10.5555/tavik-sample-0001"  # a DOI of the test prefix: this download does not exist
CITATION = f"GBIF.org (7 December 2026) GBIF Occurrence Download (synthetic sample) https://doi.org/{DOI}"
STAMP = (2026, 12, 7, 0, 0, 0)

AUTHORS = {
    "Papilio xuthus": "Linnaeus, 1767",
    "Papilio machaon": "Linnaeus, 1758",
    "Papilio protenor": "Cramer, 1775",
    "Papilio bianor": "Cramer, 1777",
    "Papilio maackii": "Menetries, 1859",
    "Graphium sarpedon": "(Linnaeus, 1758)",
    "Luehdorfia japonica": "Leech, 1889",
    "Parnassius glacialis": "Butler, 1866",
    "Pieris rapae": "(Linnaeus, 1758)",
    "Pieris melete": "Menetries, 1857",
    "Eurema mandarina": "(de l'Orza, 1869)",
    "Colias erate": "(Esper, 1805)",
    "Anthocharis scolymus": "Butler, 1866",
    "Zizeeria maha": "(Kollar, 1844)",
    "Lycaena phlaeas": "(Linnaeus, 1761)",
    "Celastrina argiolus": "(Linnaeus, 1758)",
    "Lampides boeticus": "(Linnaeus, 1767)",
    "Curetis acuta": "Moore, 1877",
    "Sasakia charonda": "(Hewitson, 1863)",
    "Hestina assimilis": "(Linnaeus, 1758)",
    "Vanessa indica": "(Herbst, 1794)",
    "Vanessa cardui": "(Linnaeus, 1758)",
    "Polygonia c-aureum": "(Linnaeus, 1758)",
    "Argyreus hyperbius": "(Linnaeus, 1763)",
    "Parantica sita": "(Kollar, 1844)",
    "Neptis sappho": "(Pallas, 1771)",
    "Ypthima argus": "Butler, 1866",
    "Parnara guttata": "(Bremer & Grey, 1852)",
    "Daimio tethys": "(Menetries, 1857)",
    "Choaspes benjaminii": "(Guerin-Meneville, 1843)",
    "Sericinus montela": "Gray, 1853",
}

# (species, basis, status, latitude, longitude, uncertainty m, stateProvince, issue, locality)
RECORDS = [
    ("Papilio xuthus", "HUMAN_OBSERVATION", "PRESENT", "35.681236", "139.767125", "30", "Tokyo", "", "Marunouchi, Chiyoda"),
    ("Papilio xuthus", "PRESERVED_SPECIMEN", "PRESENT", "34.6937", "135.5023", "", "Osaka", "", "Kita-ku"),
    ("Papilio xuthus", "HUMAN_OBSERVATION", "PRESENT", "35.681236", "139.767125", "15", "Tokyo", "", "Marunouchi, Chiyoda"),
    ("Papilio machaon", "HUMAN_OBSERVATION", "PRESENT", "36.6513", "138.1810", "100", "Nagano", "", ""),
    ("Papilio protenor", "PRESERVED_SPECIMEN", "PRESENT", "33.5597", "133.5311", "", "Kochi", "", ""),
    ("Papilio bianor", "HUMAN_OBSERVATION", "PRESENT", "32.8031", "130.7079", "250", "Kumamoto", "", ""),
    ("Papilio maackii", "MACHINE_OBSERVATION", "PRESENT", "39.7036", "141.1527", "10", "Iwate", "", "light trap"),
    ("Graphium sarpedon", "HUMAN_OBSERVATION", "PRESENT", "33.8416", "132.7657", "", "Ehime", "", ""),
    ("Luehdorfia japonica", "PRESERVED_SPECIMEN", "PRESENT", "35.4233", "136.7607", "", "Gifu", "", ""),
    ("Luehdorfia japonica", "HUMAN_OBSERVATION", "PRESENT", "37.9026", "139.0232", "50", "Niigata", "", ""),
    ("Parnassius glacialis", "HUMAN_OBSERVATION", "PRESENT", "36.23800", "137.97200", "", "Nagano", "", ""),
    ("Pieris rapae", "HUMAN_OBSERVATION", "PRESENT", "33.5904", "130.4017", "", "Fukuoka", "", ""),
    ("", "PRESERVED_SPECIMEN", "PRESENT", "35.0116", "135.7681", "", "Kyoto", "", ""),  # scientificName only
    ("Zizeeria maha", "MACHINE_OBSERVATION", "PRESENT", "31.5966", "130.5571", "5", "Kagoshima", "", ""),
    ("Lampides boeticus", "HUMAN_OBSERVATION", "PRESENT", "26.2124", "127.6809", "", "Okinawa", "", ""),
    ("Curetis acuta", "MATERIAL_SAMPLE", "PRESENT", "34.2260", "135.1675", "", "Wakayama", "", ""),
    ("Sasakia charonda", "PRESERVED_SPECIMEN", "PRESENT", "35.8617", "139.6455", "", "Saitama", "", ""),
    ("Hestina assimilis", "HUMAN_OBSERVATION", "PRESENT", "35.4437", "139.6380", "20", "Kanagawa", "", ""),
    ("Parantica sita", "OCCURRENCE", "PRESENT", "36.3895", "139.0634", "", "Gunma", "", ""),
    ("Argyreus hyperbius", "HUMAN_OBSERVATION", "PRESENT", "34.3853", "132.4553", "", "Hiroshima", "", ""),
    ("Parnara guttata", "HUMAN_OBSERVATION", "PRESENT", "38.2682", "140.8694", "", "Miyagi", "", ""),
    ("Sericinus montela", "HUMAN_OBSERVATION", "PRESENT", "35.1815", "136.9066", "", "Aichi", "", ""),
    ("Sericinus montela", "HUMAN_OBSERVATION", "PRESENT", "35.3600", "136.6200", "", "Gifu", "", ""),
    # No coordinates: placed by the prefecture's name.
    ("Papilio maackii", "PRESERVED_SPECIMEN", "PRESENT", "", "", "", "Hokkaido", "", "Jozankei"),
    ("Choaspes benjaminii", "PRESERVED_SPECIMEN", "PRESENT", "", "", "", "Ky\u014dto-fu", "", ""),
    ("Neptis sappho", "HUMAN_OBSERVATION", "PRESENT", "", "", "", "鹿児島県", "", ""),
    # Refused.
    ("Parnassius glacialis", "HUMAN_OBSERVATION", "ABSENT", "34.1859", "131.4706", "", "Yamaguchi", "", "survey"),
    ("Luehdorfia japonica", "HUMAN_OBSERVATION", "ABSENT", "35.0000", "135.8700", "", "Shiga", "", "survey"),
    ("-", "HUMAN_OBSERVATION", "PRESENT", "35.6000", "139.5000", "", "Tokyo", "", "unidentified"),
    ("Papilio\u00a0xuthus", "HUMAN_OBSERVATION", "PRESENT", "35.6000", "139.7000", "", "Tokyo", "", ""),
    ("Vanessa cardu\u0131", "HUMAN_OBSERVATION", "PRESENT", "34.7000", "135.2000", "", "Hyogo", "", ""),
    ("Vanessa indica", "HUMAN_OBSERVATION", "PRESENT", "37.5665", "126.9780", "", "", "COUNTRY_COORDINATE_MISMATCH", ""),
    ("Polygonia c-aureum", "PRESERVED_SPECIMEN", "PRESENT", "0", "0", "", "", "ZERO_COORDINATE;GEODETIC_DATUM_ASSUMED_WGS84", ""),
    ("Daimio tethys", "PRESERVED_SPECIMEN", "PRESENT", "", "", "", "", "", "Japan"),
    ("Ypthima argus", "HUMAN_OBSERVATION", "PRESENT", "", "", "", "Kanto", "", ""),
    ("Colias erate", "HUMAN_OBSERVATION", "PRESENT", "135.5000", "35.2000", "", "Hyogo", "", ""),
    ("Eurema mandarina", "HUMAN_OBSERVATION", "PRESENT", "34.9000", "200.5000", "", "Shizuoka", "", ""),
    ("Pieris melete", "PRESERVED_SPECIMEN", "PRESENT", "0.0", "0.0", "", "", "", ""),
    ("Celastrina argiolus", "HUMAN_OBSERVATION", "PRESENT", "36.0000", "140.1000", "25000", "Ibaraki", "", ""),
    ("Lycaena phlaeas", "HUMAN_OBSERVATION", "PRESENT", "35.0000", "137.0000", "50000", "Aichi", "", ""),
]

SCIENTIFIC_ONLY = "Anthocharis scolymus"


def rows():
    """Every record as a dict of Darwin Core term values."""
    out = []
    for n, (species, basis, status, lat, lon, unc, province, issue, locality) in enumerate(RECORDS, 1):
        if species == "":
            name, species_value = SCIENTIFIC_ONLY, ""
        elif species == "-":
            name, species_value = "", ""
        else:
            name, species_value = species, species
        author = AUTHORS.get(name.replace("\u00a0", " ").replace("\u0131", "i"), "")
        out.append({
            "gbifID": str(9000000 + n),
            "occurrenceID": f"urn:tavik:sample:{n:04d}",
            "basisOfRecord": basis,
            "occurrenceStatus": status,
            "scientificName": f"{name} {author}".strip() if name else "",
            "scientificNameAuthorship": author if name else "",
            "species": species_value,
            "genus": name.split()[0] if name and " " in name else "",
            "countryCode": "JP",
            "stateProvince": province,
            "locality": locality,
            "decimalLatitude": lat,
            "decimalLongitude": lon,
            "coordinateUncertaintyInMeters": unc,
            "eventDate": f"2025-{(n % 9) + 4:02d}-{(n % 27) + 1:02d}",
            "recordedBy": "Tavik sample",
            "issue": issue,
        })
    return out


def tab_text(header, records):
    lines = ["\t".join(header)]
    for r in records:
        lines.append("\t".join(r.get(h, "") for h in header))
    return ("\n".join(lines) + "\n").encode("utf-8")


DWC = "http://rs.tdwg.org/dwc/terms/"
GBIF = "http://rs.gbif.org/terms/1.0/"
ARCHIVE_COLUMNS = [
    ("gbifID", GBIF), ("occurrenceID", DWC), ("basisOfRecord", DWC), ("occurrenceStatus", DWC),
    ("countryCode", DWC), ("stateProvince", DWC), ("locality", DWC), ("decimalLatitude", DWC),
    ("decimalLongitude", DWC), ("coordinateUncertaintyInMeters", DWC), ("eventDate", DWC),
    ("recordedBy", DWC), ("scientificName", DWC), ("scientificNameAuthorship", DWC), ("genus", DWC),
    ("issue", GBIF), ("species", GBIF),
]


def meta_xml():
    fields = "\n".join(
        f'    <field index="{i}" term="{ns}{name}"/>' for i, (name, ns) in enumerate(ARCHIVE_COLUMNS))
    return f"""<?xml version="1.0" encoding="utf-8"?>
<archive xmlns="http://rs.tdwg.org/dwc/text/" metadata="metadata.xml">
  <core encoding="UTF-8" fieldsTerminatedBy="\\t" linesTerminatedBy="\\n" fieldsEnclosedBy="" ignoreHeaderLines="1" rowType="http://rs.tdwg.org/dwc/terms/Occurrence">
    <files>
      <location>occurrence.txt</location>
    </files>
    <id index="0"/>
{fields}
    <field term="http://rs.tdwg.org/dwc/terms/geodeticDatum" default="WGS84"/>
  </core>
</archive>
""".encode("utf-8")


def metadata_xml():
    return f"""<?xml version="1.0" encoding="utf-8"?>
<eml:eml xmlns:eml="https://eml.ecoinformatics.org/eml-2.2.0" packageId="{DOI}" system="http://gbif.org" scope="system" xml:lang="en">
  <dataset>
    <alternateIdentifier>{DOI}</alternateIdentifier>
    <alternateIdentifier>https://doi.org/{DOI}</alternateIdentifier>
    <alternateIdentifier>{KEY}</alternateIdentifier>
    <title>GBIF Occurrence Download {KEY} (synthetic sample for Tavik)</title>
    <creator><organizationName>GBIF Download Service</organizationName></creator>
    <pubDate>2026-12-07</pubDate>
    <language>ENGLISH</language>
    <abstract><para>A synthetic sample: invented occurrences of Japanese butterflies. No record is an observation.</para></abstract>
  </dataset>
  <additionalMetadata>
    <metadata>
      <gbif>
        <citation identifier="{DOI}">{CITATION}</citation>
      </gbif>
    </metadata>
  </additionalMetadata>
</eml:eml>
""".encode("utf-8")


SIMPLE_HEADER = (
    "gbifID datasetKey occurrenceID kingdom phylum class order family genus species infraspecificEpithet "
    "taxonRank scientificName verbatimScientificName verbatimScientificNameAuthorship countryCode locality "
    "stateProvince occurrenceStatus individualCount publishingOrgKey decimalLatitude decimalLongitude "
    "coordinateUncertaintyInMeters coordinatePrecision elevation elevationAccuracy depth depthAccuracy "
    "eventDate day month year taxonKey speciesKey basisOfRecord institutionCode collectionCode catalogNumber "
    "recordNumber identifiedBy dateIdentified license rightsHolder recordedBy typeStatus establishmentMeans "
    "lastInterpreted mediaType issue").split()

TEXT_HEADER = [
    "species", "decimalLongitude", "decimalLatitude", "occurrenceStatus", "scientificName",
    "scientificNameAuthorship", "basisOfRecord", "locality", "stateProvince", "coordinateUncertaintyInMeters",
    "issue", "eventDate", "occurrenceID",
]


def write_zip(path, files):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in files:
            info = zipfile.ZipInfo(name, STAMP)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            z.writestr(info, data)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "dwc")
    os.makedirs(out, exist_ok=True)
    records = rows()
    for r in records:
        r.update({"kingdom": "Animalia", "phylum": "Arthropoda", "class": "Insecta", "order": "Lepidoptera",
                  "taxonRank": "SPECIES", "verbatimScientificName": r["scientificName"],
                  "license": "CC0_1_0"})

    write_zip(os.path.join(out, "gbif-dwca.zip"), [
        ("occurrence.txt", tab_text([c for c, _ in ARCHIVE_COLUMNS], records)),
        ("meta.xml", meta_xml()),
        ("metadata.xml", metadata_xml()),
    ])
    write_zip(os.path.join(out, "gbif-simple.zip"), [(f"{KEY}.csv", tab_text(SIMPLE_HEADER, records))])

    text = io.StringIO()
    writer = csv.writer(text, lineterminator="\r\n")
    writer.writerow(TEXT_HEADER)
    for r in records:
        writer.writerow([r.get(h, "") for h in TEXT_HEADER])
    with open(os.path.join(out, "occurrences.csv"), "wb") as f:
        f.write(text.getvalue().encode("utf-8"))


if __name__ == "__main__":
    main()
