#!/usr/bin/env bash
# Runs the evening at the desk of test_road in a directory of its own, then reads the files it left
# with cuemora-grid, as someone who keeps these files would: the register, the goods and the day's
# takings as CSV.
set -euo pipefail
road=$1
grid=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

CUEMORA_ROAD_DIR="$dir" QT_QPA_PLATFORM=offscreen "$road" >/dev/null

expect() {
    local file=$1 expected=$2
    local actual
    actual=$("$grid" csv "$dir/$file" | tr -d '\r')
    if [ "$actual" != "$expected" ]; then
        echo "$file reads back as:" >&2
        echo "$actual" >&2
        echo "expected:" >&2
        echo "$expected" >&2
        exit 1
    fi
}

expect 表格设置 "图片,序号,类型,台名称,单价/h,开始时间,使用时长,记录商品名称,记录总价,是否使用,折率
,1,桌球台,1号大厅,20,,,,,假,8
,2,桌球台,2号大厅,20,,,,,假,8
,3,桌球台,3号大厅,20,,,,,假,8
,4,麻雀台,1号包间,30,,,,,假,10
,5,麻雀台,2号包间,30,,,,,假,10"

expect 商品库存 "商品名称,库存数量,单价,商品编码
瓜子,5,2.5,B2
可乐,10,3,A1"

expect 2013年5月20日收入统计 "名称,明细表,收费
可乐,1,3
2号台收费,1.5,29.5"

# The account file holds the default account, scrambled.
grep -q '^账号=' <(iconv -f GBK -t UTF-8 "$dir/账号密码")
if grep -q tulip "$dir/账号密码"; then
    echo "the account name stands readable in the account file" >&2
    exit 1
fi
echo "the files of the evening read back as expected"
