#include "database/DemoGeography.h"

#include <cstdio>

namespace kora {

namespace {

// Counties listed alphabetically carry the odd FIPS codes 001, 003, 005, ...
std::vector<DemoGeography::County> fipsCounties(const std::vector<std::string>& names)
{
    std::vector<DemoGeography::County> counties;
    for (size_t i = 0; i < names.size(); ++i) {
        char code[8];
        std::snprintf(code, sizeof code, "%03zu", 2 * i + 1);
        counties.push_back({code, names[i]});
    }
    return counties;
}

DemoGeography pennsylvania()
{
    return {
        "PA",
        fipsCounties({"ADAMS",        "ALLEGHENY",   "ARMSTRONG",  "BEAVER",     "BEDFORD",
                      "BERKS",        "BLAIR",       "BRADFORD",   "BUCKS",      "BUTLER",
                      "CAMBRIA",      "CAMERON",     "CARBON",     "CENTRE",     "CHESTER",
                      "CLARION",      "CLEARFIELD",  "CLINTON",    "COLUMBIA",   "CRAWFORD",
                      "CUMBERLAND",   "DAUPHIN",     "DELAWARE",   "ELK",        "ERIE",
                      "FAYETTE",      "FOREST",      "FRANKLIN",   "FULTON",     "GREENE",
                      "HUNTINGDON",   "INDIANA",     "JEFFERSON",  "JUNIATA",    "LACKAWANNA",
                      "LANCASTER",    "LAWRENCE",    "LEBANON",    "LEHIGH",     "LUZERNE",
                      "LYCOMING",     "MCKEAN",      "MERCER",     "MIFFLIN",    "MONROE",
                      "MONTGOMERY",   "MONTOUR",     "NORTHAMPTON", "NORTHUMBERLAND", "PERRY",
                      "PHILADELPHIA", "PIKE",        "POTTER",     "SCHUYLKILL", "SNYDER",
                      "SOMERSET",     "SULLIVAN",    "SUSQUEHANNA", "TIOGA",     "UNION",
                      "VENANGO",      "WARREN",      "WASHINGTON", "WAYNE",      "WESTMORELAND",
                      "WYOMING",      "YORK"}),
        {
            {"PHILADELPHIA", "101", "215",
             {"19102", "19103", "19104", "19106", "19107", "19111", "19114", "19124", "19134",
              "19147", "19148", "19154"},
             60},
            {"PITTSBURGH", "003", "412",
             {"15201", "15203", "15205", "15212", "15213", "15219", "15220", "15222", "15235"},
             45},
            {"ALLENTOWN", "077", "610", {"18101", "18102", "18103", "18104", "18109"}, 14},
            {"ERIE", "049", "814", {"16501", "16502", "16503", "16506", "16509", "16510"}, 10},
            {"READING", "011", "610", {"19601", "19602", "19604", "19605", "19606", "19611"}, 10},
            {"SCRANTON", "069", "570", {"18503", "18504", "18505", "18508", "18509"}, 9},
            {"HARRISBURG", "043", "717", {"17101", "17102", "17103", "17104", "17109", "17111"}, 12},
            {"LANCASTER", "071", "717", {"17601", "17602", "17603"}, 11},
            {"YORK", "133", "717", {"17401", "17402", "17403", "17404", "17406"}, 9},
            {"BETHLEHEM", "095", "610", {"18015", "18017", "18018", "18020"}, 8},
            {"EASTON", "095", "610", {"18040", "18042", "18045"}, 5},
            {"ALTOONA", "013", "814", {"16601", "16602"}, 5},
            {"STATE COLLEGE", "027", "814", {"16801", "16803"}, 5},
            {"WILKES-BARRE", "079", "570", {"18701", "18702", "18704", "18705"}, 7},
            {"HAZLETON", "079", "570", {"18201", "18202"}, 3},
            {"NORRISTOWN", "091", "610", {"19401", "19403"}, 6},
            {"KING OF PRUSSIA", "091", "610", {"19406"}, 6},
            {"MEDIA", "045", "610", {"19063"}, 4},
            {"CHESTER", "045", "610", {"19013"}, 3},
            {"WEST CHESTER", "029", "610", {"19380", "19382"}, 6},
            {"EXTON", "029", "610", {"19341"}, 3},
            {"DOYLESTOWN", "017", "215", {"18901", "18902"}, 5},
            {"BRISTOL", "017", "215", {"19007"}, 3},
            {"WILLIAMSPORT", "081", "570", {"17701"}, 4},
            {"JOHNSTOWN", "021", "814", {"15901", "15902", "15904", "15905"}, 4},
            {"GREENSBURG", "129", "724", {"15601"}, 5},
            {"WASHINGTON", "125", "724", {"15301"}, 4},
            {"BUTLER", "019", "724", {"16001"}, 4},
            {"LEBANON", "075", "717", {"17042", "17046"}, 3},
            {"POTTSVILLE", "107", "570", {"17901"}, 3},
            {"CARLISLE", "041", "717", {"17013", "17015"}, 4},
            {"CHAMBERSBURG", "055", "717", {"17201", "17202"}, 3},
            {"GETTYSBURG", "001", "717", {"17325"}, 2},
            {"STROUDSBURG", "089", "570", {"18360"}, 3},
            {"BEAVER FALLS", "007", "724", {"15010"}, 3},
            {"NEW CASTLE", "073", "724", {"16101", "16105"}, 3},
            {"HERMITAGE", "085", "724", {"16148"}, 2},
            {"INDIANA", "063", "724", {"15701"}, 2},
            {"MEADVILLE", "039", "814", {"16335"}, 2},
            {"SUNBURY", "097", "570", {"17801"}, 2},
            {"BLOOMSBURG", "037", "570", {"17815"}, 2},
            {"LEWISTOWN", "087", "717", {"17044"}, 1},
            {"HUNTINGDON", "061", "814", {"16652"}, 1},
            {"BEDFORD", "009", "814", {"15522"}, 1},
            {"SOMERSET", "111", "814", {"15501"}, 1},
            {"UNIONTOWN", "051", "724", {"15401"}, 2},
            {"KITTANNING", "005", "724", {"16201"}, 1},
            {"CLEARFIELD", "033", "814", {"16830"}, 1},
            {"LOCK HAVEN", "035", "570", {"17745"}, 1},
            {"TOWANDA", "015", "570", {"18848"}, 1},
            {"HONESDALE", "127", "570", {"18431"}, 1},
            {"MILFORD", "103", "570", {"18337"}, 1},
            {"JIM THORPE", "025", "570", {"18229"}, 1},
            {"LEWISBURG", "119", "570", {"17837"}, 1},
            {"DANVILLE", "093", "570", {"17821"}, 1},
            {"OIL CITY", "121", "814", {"16301"}, 1},
            {"WARREN", "123", "814", {"16365"}, 1},
            {"BRADFORD", "083", "814", {"16701"}, 1},
            {"SAINT MARYS", "047", "814", {"15857"}, 1},
            {"WAYNESBURG", "059", "724", {"15370"}, 1},
            {"CLARION", "031", "814", {"16214"}, 1},
            {"BROOKVILLE", "065", "814", {"15825"}, 1},
            {"TUNKHANNOCK", "131", "570", {"18657"}, 1},
            {"MONTROSE", "115", "570", {"18801"}, 1},
            {"WELLSBORO", "117", "570", {"16901"}, 1},
            {"COUDERSPORT", "105", "814", {"16915"}, 1},
            {"MIFFLINTOWN", "067", "717", {"17059"}, 1},
            {"NEW BLOOMFIELD", "099", "717", {"17068"}, 1},
            {"MIDDLEBURG", "109", "570", {"17842"}, 1},
            {"MCCONNELLSBURG", "057", "717", {"17233"}, 1},
            {"TIONESTA", "053", "814", {"16353"}, 1},
            {"EMPORIUM", "023", "814", {"15834"}, 1},
            {"LAPORTE", "113", "570", {"18626"}, 1},
        },
        {"KEYSTONE", "ALLEGHENY", "SUSQUEHANNA", "PENN", "LIBERTY", "COMMONWEALTH", "POCONO",
         "LEHIGH VALLEY", "THREE RIVERS", "BRANDYWINE", "CONESTOGA", "MONONGAHELA"},
    };
}

DemoGeography newJersey()
{
    return {
        "NJ",
        fipsCounties({"ATLANTIC", "BERGEN", "BURLINGTON", "CAMDEN", "CAPE MAY", "CUMBERLAND",
                      "ESSEX", "GLOUCESTER", "HUDSON", "HUNTERDON", "MERCER", "MIDDLESEX",
                      "MONMOUTH", "MORRIS", "OCEAN", "PASSAIC", "SALEM", "SOMERSET", "SUSSEX",
                      "UNION", "WARREN"}),
        {
            {"NEWARK", "013", "973", {"07102", "07103", "07104", "07105", "07107", "07114"}, 30},
            {"JERSEY CITY", "017", "201", {"07302", "07304", "07305", "07306", "07307"}, 22},
            {"PATERSON", "031", "973", {"07501", "07502", "07503", "07504", "07505"}, 14},
            {"CLIFTON", "031", "973", {"07011", "07012", "07013", "07014"}, 8},
            {"ELIZABETH", "039", "908", {"07201", "07202", "07206", "07208"}, 12},
            {"UNION", "039", "908", {"07083"}, 6},
            {"TRENTON", "021", "609", {"08608", "08609", "08610", "08611", "08618", "08619"}, 12},
            {"PRINCETON", "021", "609", {"08540", "08542"}, 5},
            {"CAMDEN", "007", "856", {"08102", "08103", "08104", "08105"}, 9},
            {"CHERRY HILL", "007", "856", {"08002", "08003", "08034"}, 9},
            {"EDISON", "023", "732", {"08817", "08820", "08837"}, 11},
            {"NEW BRUNSWICK", "023", "732", {"08901"}, 7},
            {"TOMS RIVER", "029", "732", {"08753", "08755", "08757"}, 8},
            {"LAKEWOOD", "029", "732", {"08701"}, 6},
            {"HACKENSACK", "003", "201", {"07601"}, 9},
            {"PARAMUS", "003", "201", {"07652"}, 7},
            {"BAYONNE", "017", "201", {"07002"}, 5},
            {"MORRISTOWN", "027", "973", {"07960"}, 7},
            {"PARSIPPANY", "027", "973", {"07054"}, 7},
            {"FREEHOLD", "025", "732", {"07728"}, 6},
            {"RED BANK", "025", "732", {"07701"}, 5},
            {"ATLANTIC CITY", "001", "609", {"08401"}, 6},
            {"VINELAND", "011", "856", {"08360", "08361"}, 4},
            {"BRIDGETON", "011", "856", {"08302"}, 2},
            {"FLEMINGTON", "019", "908", {"08822"}, 3},
            {"MOUNT HOLLY", "005", "609", {"08060"}, 3},
            {"MOORESTOWN", "005", "856", {"08057"}, 3},
            {"SOMERVILLE", "035", "908", {"08876"}, 4},
            {"NEWTON", "037", "973", {"07860"}, 2},
            {"WOODBURY", "015", "856", {"08096"}, 3},
            {"CAPE MAY COURT HOUSE", "009", "609", {"08210"}, 2},
            {"SALEM", "033", "856", {"08079"}, 1},
            {"PHILLIPSBURG", "041", "908", {"08865"}, 2},
        },
        {"GARDEN STATE", "JERSEY", "SHORE", "HUDSON", "PASSAIC VALLEY", "PINE BARRENS",
         "RARITAN", "DELAWARE VALLEY", "MEADOWLANDS", "PALISADES"},
    };
}

DemoGeography delaware()
{
    return {
        "DE",
        fipsCounties({"KENT", "NEW CASTLE", "SUSSEX"}),
        {
            {"WILMINGTON", "003", "302",
             {"19801", "19802", "19803", "19804", "19805", "19806", "19808", "19809", "19810"},
             40},
            {"NEWARK", "003", "302", {"19702", "19711", "19713"}, 14},
            {"NEW CASTLE", "003", "302", {"19720"}, 8},
            {"MIDDLETOWN", "003", "302", {"19709"}, 5},
            {"DOVER", "001", "302", {"19901", "19904"}, 14},
            {"SMYRNA", "001", "302", {"19977"}, 3},
            {"MILFORD", "001", "302", {"19963"}, 3},
            {"GEORGETOWN", "005", "302", {"19947"}, 4},
            {"LEWES", "005", "302", {"19958"}, 3},
            {"SEAFORD", "005", "302", {"19973"}, 4},
            {"REHOBOTH BEACH", "005", "302", {"19971"}, 3},
            {"MILLSBORO", "005", "302", {"19966"}, 2},
        },
        {"FIRST STATE", "DIAMOND STATE", "BRANDYWINE", "DELMARVA", "BLUE HEN", "CHRISTINA",
         "NANTICOKE"},
    };
}

DemoGeography newYork()
{
    return {
        "NY",
        fipsCounties({"ALBANY",     "ALLEGANY",    "BRONX",        "BROOME",    "CATTARAUGUS",
                      "CAYUGA",     "CHAUTAUQUA",  "CHEMUNG",      "CHENANGO",  "CLINTON",
                      "COLUMBIA",   "CORTLAND",    "DELAWARE",     "DUTCHESS",  "ERIE",
                      "ESSEX",      "FRANKLIN",    "FULTON",       "GENESEE",   "GREENE",
                      "HAMILTON",   "HERKIMER",    "JEFFERSON",    "KINGS",     "LEWIS",
                      "LIVINGSTON", "MADISON",     "MONROE",       "MONTGOMERY", "NASSAU",
                      "NEW YORK",   "NIAGARA",     "ONEIDA",       "ONONDAGA",  "ONTARIO",
                      "ORANGE",     "ORLEANS",     "OSWEGO",       "OTSEGO",    "PUTNAM",
                      "QUEENS",     "RENSSELAER",  "RICHMOND",     "ROCKLAND",  "ST. LAWRENCE",
                      "SARATOGA",   "SCHENECTADY", "SCHOHARIE",    "SCHUYLER",  "SENECA",
                      "STEUBEN",    "SUFFOLK",     "SULLIVAN",     "TIOGA",     "TOMPKINS",
                      "ULSTER",     "WARREN",      "WASHINGTON",   "WAYNE",     "WESTCHESTER",
                      "WYOMING",    "YATES"}),
        {
            {"NEW YORK", "061", "212",
             {"10001", "10003", "10010", "10011", "10016", "10017", "10018", "10022", "10036",
              "10038"},
             60},
            {"BROOKLYN", "047", "718",
             {"11201", "11203", "11206", "11211", "11215", "11220", "11222", "11232"},
             40},
            {"BRONX", "005", "718", {"10451", "10452", "10454", "10458", "10461", "10467", "10474"},
             20},
            {"LONG ISLAND CITY", "081", "718", {"11101", "11106"}, 12},
            {"JAMAICA", "081", "718", {"11432", "11433", "11434", "11435"}, 12},
            {"STATEN ISLAND", "085", "718", {"10301", "10304", "10305", "10309", "10314"}, 9},
            {"BUFFALO", "029", "716",
             {"14201", "14202", "14203", "14206", "14207", "14210", "14211", "14213"},
             20},
            {"ROCHESTER", "055", "585",
             {"14604", "14606", "14607", "14608", "14609", "14611", "14623", "14624"},
             18},
            {"SYRACUSE", "067", "315", {"13202", "13203", "13204", "13206", "13208", "13210"}, 14},
            {"ALBANY", "001", "518", {"12203", "12205", "12206", "12207", "12208", "12210"}, 12},
            {"YONKERS", "119", "914", {"10701", "10703", "10704", "10705"}, 9},
            {"WHITE PLAINS", "119", "914", {"10601", "10603", "10604", "10605"}, 9},
            {"HEMPSTEAD", "059", "516", {"11550"}, 8},
            {"GARDEN CITY", "059", "516", {"11530"}, 7},
            {"HICKSVILLE", "059", "516", {"11801"}, 6},
            {"HAUPPAUGE", "103", "631", {"11788"}, 8},
            {"RONKONKOMA", "103", "631", {"11779"}, 5},
            {"RIVERHEAD", "103", "631", {"11901"}, 3},
            {"UTICA", "065", "315", {"13501", "13502"}, 5},
            {"ROME", "065", "315", {"13440"}, 3},
            {"BINGHAMTON", "007", "607", {"13901", "13903", "13904", "13905"}, 6},
            {"SCHENECTADY", "093", "518", {"12303", "12304", "12305", "12307"}, 5},
            {"POUGHKEEPSIE", "027", "845", {"12601", "12603"}, 6},
            {"ITHACA", "109", "607", {"14850"}, 3},
            {"WATERTOWN", "045", "315", {"13601"}, 3},
            {"NIAGARA FALLS", "063", "716", {"14301", "14303", "14304", "14305"}, 4},
            {"LOCKPORT", "063", "716", {"14094"}, 2},
            {"ELMIRA", "015", "607", {"14901", "14904", "14905"}, 3},
            {"NEWBURGH", "071", "845", {"12550"}, 4},
            {"MIDDLETOWN", "071", "845", {"10940"}, 3},
            {"TROY", "083", "518", {"12180", "12182"}, 4},
            {"KINGSTON", "111", "845", {"12401"}, 3},
            {"NEW CITY", "087", "845", {"10956"}, 3},
            {"CARMEL", "079", "845", {"10512"}, 2},
            {"SARATOGA SPRINGS", "091", "518", {"12866"}, 3},
            {"GLENS FALLS", "113", "518", {"12801"}, 2},
            {"HUDSON FALLS", "115", "518", {"12839"}, 1},
            {"JAMESTOWN", "013", "716", {"14701"}, 2},
            {"OLEAN", "009", "716", {"14760"}, 2},
            {"AUBURN", "011", "315", {"13021"}, 2},
            {"CORTLAND", "023", "607", {"13045"}, 2},
            {"ONEONTA", "077", "607", {"13820"}, 2},
            {"PLATTSBURGH", "019", "518", {"12901"}, 2},
            {"OGDENSBURG", "089", "315", {"13669"}, 1},
            {"MALONE", "033", "518", {"12953"}, 1},
            {"OSWEGO", "075", "315", {"13126"}, 2},
            {"BATAVIA", "037", "585", {"14020"}, 2},
            {"CANANDAIGUA", "069", "585", {"14424"}, 2},
            {"CORNING", "101", "607", {"14830"}, 2},
            {"HUDSON", "021", "518", {"12534"}, 1},
            {"CATSKILL", "039", "518", {"12414"}, 1},
            {"AMSTERDAM", "057", "518", {"12010"}, 1},
            {"GLOVERSVILLE", "035", "518", {"12078"}, 1},
            {"HERKIMER", "043", "315", {"13350"}, 1},
            {"NORWICH", "017", "607", {"13815"}, 1},
            {"ONEIDA", "053", "315", {"13421"}, 1},
            {"LOWVILLE", "049", "315", {"13367"}, 1},
            {"GENESEO", "051", "585", {"14454"}, 1},
            {"ALBION", "073", "585", {"14411"}, 1},
            {"WARSAW", "121", "585", {"14569"}, 1},
            {"PENN YAN", "123", "315", {"14527"}, 1},
            {"WATKINS GLEN", "097", "607", {"14891"}, 1},
            {"SENECA FALLS", "099", "315", {"13148"}, 1},
            {"LYONS", "117", "315", {"14489"}, 1},
            {"OWEGO", "107", "607", {"13827"}, 1},
            {"MONTICELLO", "105", "845", {"12701"}, 1},
            {"COBLESKILL", "095", "518", {"12043"}, 1},
            {"DELHI", "025", "607", {"13753"}, 1},
            {"ELIZABETHTOWN", "031", "518", {"12932"}, 1},
            {"LAKE PLEASANT", "041", "518", {"12108"}, 1},
            {"WELLSVILLE", "003", "585", {"14895"}, 1},
        },
        {"EMPIRE", "HUDSON VALLEY", "ADIRONDACK", "NIAGARA", "MOHAWK", "CATSKILL", "FINGER LAKES",
         "KNICKERBOCKER", "GOTHAM", "LONG ISLAND", "GENESEE"},
    };
}

} // namespace

const DemoGeography& DemoGeography::forState(const std::string& state)
{
    static const DemoGeography pa = pennsylvania();
    static const DemoGeography nj = newJersey();
    static const DemoGeography de = delaware();
    static const DemoGeography ny = newYork();
    if (state == "NJ")
        return nj;
    if (state == "DE")
        return de;
    if (state == "NY")
        return ny;
    return pa;
}

} // namespace kora
