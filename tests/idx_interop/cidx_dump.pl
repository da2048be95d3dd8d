#!/usr/bin/perl
# SPDX-License-Identifier: GPL-3.0-or-later
# Lists a compact .idx file with the page decoder of Perl's XBase module (XBase::cdx::Page), which
# knows compact pages but only opens them inside a .cdx: this wrapper reads the 1024-byte header of
# a single-order compact index itself and walks the tree from its root.
# Usage: cidx_dump.pl FILE char|num   -> the key expression, then "key recno" per line in index order
# (char keys without trailing blanks, num/date keys decoded to numbers).
use strict;
use warnings;
use IO::File;
use XBase::Index;

package CompactIdx;
our @ISA = ('XBase::cdx');
sub last_record { -1 }

package main;
my ($file, $type) = @ARGV;
die "usage: $0 FILE char|num\n" unless defined $type;
open(my $fh, '<:raw', $file) or die "cannot open $file: $!\n";
my $header;
read($fh, $header, 1024) == 1024 or die "short header\n";
my ($root, $free, $counter, $key_length, $options, $signature) = unpack 'VVVvCC', $header;
die "not a compact index\n" unless $options & 0x20;
my ($expr) = (substr($header, 512) =~ /^([^\000]*)\000/);
close($fh);

my $self = bless { fh => (IO::File->new($file, 'r') or die "cannot open $file\n"), filename => $file,
    record_len => 512, header_len => 0, key_length => $key_length,
    key_record_length => $key_length + 4, key_type => ($type eq 'char' ? 0 : 1) }, 'CompactIdx';

print "$expr\n";
my %seen;
sub walk {
    my ($page_num, $depth) = @_;
    die "page $page_num reached twice\n" if $seen{$page_num}++;
    die "too deep\n" if $depth > 64;
    my $page = XBase::cdx::Page::new($self, $page_num) or die "cannot read page $page_num\n";
    if ($page->{attributes} & 2) {
        for my $i (0 .. $#{$page->{keys}}) {
            print "$page->{keys}[$i] $page->{values}[$i]\n";
        }
    } else {
        walk($_, $depth + 1) for @{$page->{lefts}};
    }
}
walk($root / 512, 0);
